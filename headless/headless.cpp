#include "headless.h"

#include <algorithm>
#include <cstdio>

namespace lesson {

namespace {

std::string rectText(const Rect& r) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
    return buf;
}

// Bytes of the UTF-8 character that starts with this byte.
int utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}
} // namespace

std::string ColorText(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%06X", static_cast<unsigned>(c));
    return buf;
}

HeadlessToolkit::HeadlessToolkit()
    : controls_(static_cast<size_t>(Ctl::Count)), fb_(ClientWidth * ClientHeight, clBtnFace),
      brush_(clBtnFace), windowColor_(clBtnFace) {
    for (const auto& s : Layout()) {
        Control& c = ctl(s.id);
        c.bounds = Rect{s.left, s.top, s.left + s.width, s.top + s.height};
        c.visible = s.visible;
        c.caption = s.caption;
    }
    // Created as the stored layout places it, before start-up moves it.
    window_ = WindowBounds{0, 0, CreationClientWidth, CreationClientHeight};
}

Rect HeadlessToolkit::bounds(Ctl c) const {
    return ctl(c).bounds;
}

void HeadlessToolkit::setWidth(Ctl c, int width) {
    Rect& b = ctl(c).bounds;
    if (b.width() == width)
        return;
    b.right = b.left + width;
    if (recording)
        log(std::string("width ") + NameOf(c) + " " + std::to_string(width));
}

void HeadlessToolkit::setVisible(Ctl c, bool v) {
    if (ctl(c).visible == v)
        return;
    ctl(c).visible = v;
    if (recording)
        log(std::string(v ? "show " : "hide ") + NameOf(c));
}

void HeadlessToolkit::setCaption(Ctl c, const std::string& text) {
    ctl(c).caption = text;
    if (recording)
        log(std::string("caption ") + NameOf(c) + " " + text);
}

void HeadlessToolkit::setItemIndex(Ctl list, int index) {
    int count = static_cast<int>(ListItems(list).size());
    ctl(list).itemIndex = (index >= 0 && index < count) ? index : -1;
    if (recording)
        log(std::string("select ") + NameOf(list) + " " + std::to_string(ctl(list).itemIndex));
}

std::string HeadlessToolkit::itemText(Ctl list, int index) const {
    const auto& items = ListItems(list);
    return (index >= 0 && index < static_cast<int>(items.size())) ? items[index] : std::string();
}

void HeadlessToolkit::setShapeBrush(Ctl shape, Color color) {
    ctl(shape).brush = color;
    if (recording)
        log(std::string("brush ") + NameOf(shape) + " " + ColorText(color));
}

void HeadlessToolkit::setTimerInterval(Ctl timer, int ms) {
    if (ctl(timer).interval == ms)
        return;
    ctl(timer).interval = ms;
    if (recording)
        log(std::string("interval ") + NameOf(timer) + " " + std::to_string(ms));
}

void HeadlessToolkit::setTimerEnabled(Ctl timer, bool enabled) {
    if (ctl(timer).enabled == enabled)
        return;
    ctl(timer).enabled = enabled;
    if (recording)
        log(std::string(enabled ? "enable " : "disable ") + NameOf(timer));
}

void HeadlessToolkit::setFontSize(int points) {
    fontPixels_ = (points * 96 + 36) / 72;
}

int HeadlessToolkit::textWidth(const std::string& text) const {
    int w = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        int len = utf8Length(ch);
        if (len == 1)
            w += ch == ' ' ? 6 : (ch == '.' ? 6 : (ch == 'm' ? 19 : 12));
        else
            w += 21;
        i += len;
    }
    return w * fontPixels_ / 21;
}

Rect HeadlessToolkit::textOut(int x, int y, const std::string& text) {
    Rect cell{x, y, x + textWidth(text), y + fontPixels_};
    fill(cell, brush_);
    // Every visible character leaves a block of ink in the font colour inside
    // its advance, so that a text left behind shows in the framebuffer.
    int pen = x;
    for (size_t i = 0; i < text.size();) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        int len = utf8Length(ch);
        int advance = textWidth(text.substr(i, len));
        if (ch != ' ')
            fill(Rect{pen + 1, y + 3, pen + advance - 1, y + fontPixels_ - 3}, font_);
        pen += advance;
        i += len;
    }
    if (recording)
        texts.push_back(TextRecord{x, y, text, font_, brush_, cell});
    if (recording)
        log("text " + std::to_string(x) + "," + std::to_string(y) + " '" + text + "' " +
            ColorText(font_) + " on " + ColorText(brush_));
    return cell;
}

void HeadlessToolkit::fill(const Rect& r, Color c) {
    if (!render || r.width() <= 0 || r.height() <= 0 || solid_.covers(r, c))
        return;
    solid_.painted(r, c);
    int l = std::max(r.left, 0), t = std::max(r.top, 0);
    int rr = std::min(r.right, ClientWidth), b = std::min(r.bottom, ClientHeight);
    for (int y = t; y < b; ++y)
        std::fill(fb_.begin() + static_cast<long>(y) * ClientWidth + l,
                  fb_.begin() + static_cast<long>(y) * ClientWidth + std::max(l, rr), c);
}

void HeadlessToolkit::fillRect(const Rect& r) {
    fill(r, brush_);
    if (recording)
        log("fill " + rectText(r) + " " + ColorText(brush_));
}

void HeadlessToolkit::rectangle(const Rect& r) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    fill(r, pen_);
    fill(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush_);
    if (recording)
        log("rectangle " + rectText(r) + " " + ColorText(pen_) + " " + ColorText(brush_));
}

void HeadlessToolkit::setWindowColor(Color c) {
    if (c == windowColor_)
        return;
    windowColor_ = c;
    brush_ = c;
    // The surface is kept, so a new window colour repaints it entirely.
    fill(Rect{0, 0, ClientWidth, ClientHeight}, c);
    if (recording)
        log("window colour " + ColorText(c));
}

void HeadlessToolkit::refresh() {
    ++refreshes;
    solid_.clear();
    fill(Rect{0, 0, ClientWidth, ClientHeight}, windowColor_);
    if (recording)
        log("refresh");
}

void HeadlessToolkit::messageBox(const std::string& text) {
    if (recording)
        messages.push_back(text);
    ++messageBoxes;
    if (recording)
        log("message " + text);
    if (whileMessageBoxOpen)
        whileMessageBoxOpen();
}

int HeadlessToolkit::count(const Rect& r, Color c) const {
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, ClientHeight); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, ClientWidth); ++x)
            n += pixel(x, y) == c;
    return n;
}

} // namespace lesson
