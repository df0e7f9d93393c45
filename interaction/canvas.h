// The window's drawing surface without a toolkit: the pen, brush and font
// the lesson sets, and every drawing call turned into a few primitives that
// an edition draws (a filled rectangle, a text run on a filled cell). It
// keeps what still shows, so that a surface made anew (another scale, a new
// canvas) is drawn again exactly, and so that the texts standing on it can
// be told to screen readers.
#pragma once

#include "controls.h"
#include "state.h"

#include <string>
#include <utility>
#include <vector>

namespace interaction {

using lesson::Color;
using lesson::Rect;

struct TextRun {
    int x = 0, y = 0; // the top-left of the text cell
    std::string text;
    int pixels = 0;  // the character height
    Color color = 0; // of the glyphs
    Rect clip;       // the glyphs show only inside, which is filled beforehand
};

// The primitives of an edition's drawing surface, in client pixels.
class Surface {
  public:
    virtual ~Surface() = default;
    // The advance of a text in the surface's font at this character height.
    virtual int textWidth(const std::string& text, int pixels) = 0;
    // r lies inside the client area and is not empty.
    virtual void fill(const Rect& r, Color c) = 0;
    // The glyphs alone, on the cell that fill() has just painted.
    virtual void text(const TextRun& run) = 0;
};

// A text standing on the surface, for screen readers.
struct StandingText {
    Rect cell;
    std::string text;
};

class Canvas {
  public:
    explicit Canvas(Surface& surface) : surface_(surface) {}

    Color penColor() const { return pen_; }
    void setPenColor(Color c) { pen_ = c; }
    Color brushColor() const { return brush_; }
    void setBrushColor(Color c) { brush_ = c; }
    Color fontColor() const { return font_; }
    void setFontColor(Color c) { font_ = c; }
    int fontPixels() const { return fontPixels_; }
    // Sizes in points, at 96 pixels per inch.
    void setFontSize(int points) { fontPixels_ = (points * 96 + 36) / 72; }

    // Text on an opaque cell in the brush colour; returns the whole cell.
    Rect textOut(int x, int y, const std::string& text);
    void fillRect(const Rect& r);
    // One-pixel border in the pen colour, inside in the brush colour.
    void rectangle(const Rect& r);
    // Everything wiped to one colour, as a repaint of the window does.
    void clear(Color c);

    // Draws what shows now onto a surface made anew.
    void replay(Surface& onto) const;

    // The texts that stand whole on the surface, top to bottom, left to
    // right; and whether that changed since the last call of takeChange().
    std::vector<StandingText> texts() const;
    bool takeChange() { return std::exchange(textsChanged_, false); }

    // A fill that repeats what its whole rectangle already shows changes no
    // pixel: a race tick whitens each bar's track again, and drawing it
    // would have the surface shown anew. Off: every fill is drawn (the
    // plain path, to compare pixels with).
    bool skipRepeatedFills = true;

  private:
    struct Op {
        Rect r;
        Color color;
        bool hasText;
        bool standing; // the text stands whole, for screen readers
        TextRun run;
    };
    void draw(const Rect& r, Color c, const TextRun* run);
    bool repeats(const Rect& r, Color c) const;

    Surface& surface_;
    std::vector<Op> ops_;
    Color pen_ = lesson::clBlack;
    Color brush_ = lesson::clBtnFace;
    Color font_ = lesson::clWindowText;
    int fontPixels_ = lesson::SurfaceFontPixels;
    bool textsChanged_ = false;
};

// The fills that show a bar shape of this size with a one-pixel outline in
// its pen colour and the inside in its brush colour. A bar already shown at
// `shownWidth`, no wider, is brought up to `width` with the columns from its
// old right outline on.
std::vector<std::pair<Rect, Color>> ShapeFills(int width, int height, Color pen, Color brush,
                                               int shownWidth = 0);

} // namespace interaction
