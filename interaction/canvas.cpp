#include "canvas.h"

#include <algorithm>

namespace interaction {

namespace {

Rect clipped(const Rect& r) {
    return Rect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, lesson::ClientWidth),
                std::min(r.bottom, lesson::ClientHeight)};
}

bool empty(const Rect& r) {
    return r.width() <= 0 || r.height() <= 0;
}

bool intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool contains(const Rect& outer, const Rect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

bool Canvas::repeats(const Rect& r, Color c) const {
    // Only the latest drawing over the rectangle decides, and only a fill of
    // this colour over all of it leaves nothing to change.
    for (auto it = ops_.rbegin(); it != ops_.rend(); ++it) {
        if (!intersects(it->r, r))
            continue;
        return !it->hasText && it->color == c && contains(it->r, r);
    }
    return false;
}

void Canvas::draw(const Rect& area, Color c, const TextRun* run) {
    const Rect r = clipped(area);
    if (empty(r))
        return;
    if (!run && skipRepeatedFills && repeats(r, c))
        return;
    // Every drawing is opaque over its rectangle: what it covers whole is
    // gone for good, and a text it touches no longer stands whole.
    auto hidden = [&](const Op& o) { return contains(r, o.r); };
    for (Op& o : ops_)
        if (o.standing && intersects(o.r, r)) {
            o.standing = false;
            textsChanged_ = true;
        }
    ops_.erase(std::remove_if(ops_.begin(), ops_.end(), hidden), ops_.end());
    Op op{r, c, run != nullptr, run != nullptr, run ? *run : TextRun{}};
    surface_.fill(r, c);
    if (run) {
        op.run.clip = r;
        surface_.text(op.run);
        textsChanged_ = true;
    }
    ops_.push_back(std::move(op));
}

Rect Canvas::textOut(int x, int y, const std::string& text) {
    const Rect cell{x, y, x + surface_.textWidth(text, fontPixels_), y + fontPixels_};
    if (blank(text)) {
        draw(cell, brush_, nullptr);
    } else {
        TextRun run{x, y, text, fontPixels_, font_, cell};
        draw(cell, brush_, &run);
    }
    return cell;
}

void Canvas::fillRect(const Rect& r) {
    draw(r, brush_, nullptr);
}

void Canvas::rectangle(const Rect& r) {
    if (empty(r))
        return;
    draw(r, pen_, nullptr);
    draw(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush_, nullptr);
}

void Canvas::clear(Color c) {
    for (const Op& o : ops_)
        textsChanged_ |= o.standing;
    ops_.clear();
    // Known to hold nothing else, the whole surface is drawn even where a
    // fill of the colour stood.
    const bool skip = skipRepeatedFills;
    skipRepeatedFills = false;
    draw(Rect{0, 0, lesson::ClientWidth, lesson::ClientHeight}, c, nullptr);
    skipRepeatedFills = skip;
}

void Canvas::replay(Surface& onto) const {
    for (const Op& o : ops_) {
        onto.fill(o.r, o.color);
        if (o.hasText)
            onto.text(o.run);
    }
}

std::vector<StandingText> Canvas::texts() const {
    std::vector<StandingText> out;
    for (const Op& o : ops_)
        if (o.standing)
            out.push_back({o.r, o.run.text});
    std::stable_sort(out.begin(), out.end(), [](const StandingText& a, const StandingText& b) {
        return a.cell.top != b.cell.top ? a.cell.top < b.cell.top : a.cell.left < b.cell.left;
    });
    return out;
}

std::vector<std::pair<Rect, Color>> ShapeFills(int width, int height, Color pen, Color brush,
                                               int shownWidth) {
    std::vector<std::pair<Rect, Color>> out;
    if (width <= 0 || height <= 0 || width == shownWidth)
        return out;
    // Growing, the old right outline turns to inside: from there on.
    const int from = shownWidth > 0 && shownWidth <= width ? shownWidth - 1 : 0;
    if (from >= width)
        return out;
    out.push_back({Rect{from, 0, width, height}, pen});
    if (width > 2 && height > 2)
        out.push_back({Rect{std::max(1, from), 1, width - 1, height - 1}, brush});
    return out;
}

} // namespace interaction
