// A drop-down list as a pupil uses it, without any toolkit: its items, the
// current item, the field's text, selection and caret, whether the list is
// dropped down and which row is highlighted. Every gesture is one operation
// that changes this state and returns the events the list raises, in order;
// the desktop's and the page's lists only show the state and forward input.
#pragma once

#include "controls.h"

#include <string>
#include <vector>

namespace interaction {

using Events = std::vector<lesson::Event>;

// The keys a list reacts to; each edition maps its own key codes to these.
enum class Key {
    Character, // a printable character, given separately
    Backspace,
    Delete,
    Escape,
    Enter,
    Tab,
    F4,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Right,
    SelectAll,
    Other
};

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool meta = false;
    bool any() const { return ctrl || alt || meta; } // Shift alone only extends a selection
};

struct KeyResult {
    // false: the list leaves the key to the window (Tab moves the focus on).
    bool handled = false;
    Events events;
};

class ListModel {
  public:
    // Rows of a dropped-down list that show without scrolling; a page key
    // moves by one less, so that the row left behind stays in sight.
    static constexpr int VisibleRows = 8;

    explicit ListModel(std::vector<std::string> items);

    // ---- What the views show ----
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int index) const { return items_[static_cast<size_t>(index)]; }
    int index() const { return index_; }                              // -1: no item is current
    std::string text() const;                                         // UTF-8
    int textLength() const { return static_cast<int>(text_.size()); } // in characters
    // The selection runs from selectionStart() to selectionEnd(), in
    // characters; empty when both are equal. The caret stands at caret().
    int selectionStart() const { return selStart_ < selEnd_ ? selStart_ : selEnd_; }
    int selectionEnd() const { return selStart_ < selEnd_ ? selEnd_ : selStart_; }
    int caret() const { return caret_; }
    bool hasSelection() const { return selStart_ != selEnd_; }
    bool isOpen() const { return open_; }
    int highlight() const { return highlight_; } // the highlighted row while open, or -1
    bool hasFocus() const { return focused_; }
    // Changes with every change of what the views show.
    unsigned revision() const { return revision_; }

    // ---- The program ----
    // Makes an item current (-1: none) and shows it, raising nothing.
    void setIndex(int index);
    // The program hides the list: it closes without a close-up, whose
    // handler would act for a control that is going away.
    void hide();

    // ---- The user ----
    // A key while the list has the focus, open or closed.
    KeyResult key(Key k, Modifiers m, char32_t character = 0);
    // A printable character typed (also the first of a longer text).
    Events type(char32_t character);
    Events backspace();
    // A pick with the pointer in the dropped-down list.
    Events pick(int row);
    // The pointer over a row of the dropped-down list.
    void hover(int row);
    // The arrow button pressed, or with a coarse pointer a tap on the field.
    Events toggle();
    Events open();
    // The dropped-down list closed, by the list or by the window system.
    Events close();
    // A wheel turned over the list; positive towards the later items, one
    // per notch. Only a list that has the focus and is closed moves.
    Events wheel(double notches);
    // The keyboard focus arrives (by the keyboard: Tab selects the text) or
    // leaves (an open list closes).
    void focusIn(bool byKeyboard);
    Events focusOut();
    // The pointer placed the caret or selected in the field.
    void select(int anchor, int caret);
    // The field's own editing (its context menu) changed the text.
    void edited(const std::u32string& text, int caret);

  private:
    Events userSelect(int index);
    int findPrefix(const std::u32string& prefix) const;
    void showItem(int index);
    void setSelection(int anchor, int caret);
    void changed() { ++revision_; }
    int clampRow(int row) const;

    std::vector<std::string> items_;
    std::vector<std::u32string> items32_;
    int index_ = -1;
    std::u32string text_;
    int selStart_ = 0, selEnd_ = 0, caret_ = 0;
    bool open_ = false;
    bool focused_ = false;
    int highlight_ = -1;
    double wheelRest_ = 0;
    unsigned revision_ = 0;
};

// Where a list's parts stand inside its stored size: its field's text room
// and its arrow button, which takes what the widest item leaves, so that
// every item shows whole.
struct ListGeometry {
    // The field's text starts this far inside the list's left edge (frame
    // and one pixel of room).
    static constexpr int FieldInset = 2;
    static constexpr int MinArrowWidth = 9;
    static constexpr int MaxArrowWidth = 17;

    int arrowWidth; // the arrow button, from the list's right frame inwards
    int fieldWidth; // the text room between the inset and the arrow

    static ListGeometry For(int listWidth, int widestItem);
};

// UTF-8 and back, for the texts the views show.
std::u32string Utf32(const std::string& utf8);
std::string Utf8(const std::u32string& text);

} // namespace interaction
