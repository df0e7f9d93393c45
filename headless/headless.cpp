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

// The advance of one character at 21 pixels.
int advance21(const std::string& text, size_t i) {
    unsigned char ch = static_cast<unsigned char>(text[i]);
    if (utf8Length(ch) > 1)
        return 21;
    return ch == ' ' || ch == '.' ? 6 : ch == 'm' ? 19 : 12;
}

} // namespace

std::string ColorText(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%06X", static_cast<unsigned>(c));
    return buf;
}

HeadlessToolkit::HeadlessToolkit() : fb_(ClientWidth * ClientHeight, clBtnFace) {
    // Created as the stored layout places it, before start-up moves it.
    window_ = WindowBounds{0, 0, CreationClientWidth, CreationClientHeight};
}

void HeadlessToolkit::setWidth(Ctl c, int width) {
    if (recording && bounds(c).width() != width)
        log(std::string("width ") + NameOf(c) + " " + std::to_string(width));
    BaseToolkit::setWidth(c, width);
}

void HeadlessToolkit::setVisible(Ctl c, bool v) {
    if (recording && visible(c) != v)
        log(std::string(v ? "show " : "hide ") + NameOf(c));
    BaseToolkit::setVisible(c, v);
}

void HeadlessToolkit::setCaption(Ctl c, const std::string& text) {
    if (recording)
        log(std::string("caption ") + NameOf(c) + " " + text);
    BaseToolkit::setCaption(c, text);
}

void HeadlessToolkit::setItemIndex(Ctl list, int index) {
    BaseToolkit::setItemIndex(list, index);
    if (recording)
        log(std::string("select ") + NameOf(list) + " " + std::to_string(itemIndex(list)));
}

void HeadlessToolkit::setShapeBrush(Ctl shape, Color color) {
    if (recording)
        log(std::string("brush ") + NameOf(shape) + " " + ColorText(color));
    BaseToolkit::setShapeBrush(shape, color);
}

void HeadlessToolkit::setTimerInterval(Ctl timer, int ms) {
    if (recording && timerInterval(timer) != ms)
        log(std::string("interval ") + NameOf(timer) + " " + std::to_string(ms));
    BaseToolkit::setTimerInterval(timer, ms);
}

void HeadlessToolkit::setTimerEnabled(Ctl timer, bool enabled) {
    if (recording && timerEnabled(timer) != enabled)
        log(std::string(enabled ? "enable " : "disable ") + NameOf(timer));
    BaseToolkit::setTimerEnabled(timer, enabled);
}

int HeadlessToolkit::textWidth(const std::string& text) const {
    int w = 0;
    for (size_t i = 0; i < text.size(); i += utf8Length(static_cast<unsigned char>(text[i])))
        w += advance21(text, i);
    return w * fontPixelHeight() / 21;
}

int HeadlessToolkit::textWidth(const std::string& text, int pixels) {
    int w = 0;
    for (size_t i = 0; i < text.size(); i += utf8Length(static_cast<unsigned char>(text[i])))
        w += advance21(text, i);
    return w * pixels / 21;
}

int HeadlessToolkit::captionWidth(Ctl label) const {
    int w = 0;
    const std::string& text = caption(label);
    for (size_t i = 0; i < text.size(); i += utf8Length(static_cast<unsigned char>(text[i])))
        w += advance21(text, i);
    return w * LayoutOf(label).fontPixels / 21;
}

Rect HeadlessToolkit::textOut(int x, int y, const std::string& text) {
    const Color font = fontColor(), background = brushColor();
    Rect cell = BaseToolkit::textOut(x, y, text);
    if (recording) {
        texts.push_back(TextRecord{x, y, text, font, background, cell});
        log("text " + std::to_string(x) + "," + std::to_string(y) + " '" + text + "' " +
            ColorText(font) + " on " + ColorText(background));
    }
    return cell;
}

void HeadlessToolkit::fillRect(const Rect& r) {
    if (recording)
        log("fill " + rectText(r) + " " + ColorText(brushColor()));
    BaseToolkit::fillRect(r);
}

void HeadlessToolkit::rectangle(const Rect& r) {
    if (recording && r.width() > 0 && r.height() > 0)
        log("rectangle " + rectText(r) + " " + ColorText(penColor()) + " " +
            ColorText(brushColor()));
    BaseToolkit::rectangle(r);
}

void HeadlessToolkit::setWindowColor(Color c) {
    if (recording && c != windowColor())
        log("window colour " + ColorText(c));
    BaseToolkit::setWindowColor(c);
}

void HeadlessToolkit::refresh() {
    if (recording)
        log("refresh");
    BaseToolkit::refresh();
}

void HeadlessToolkit::showMessage(const std::string& text, bool) {
    if (recording)
        messages.push_back(text);
    ++messageBoxes;
    if (recording)
        log("message " + text);
    if (whileMessageBoxOpen)
        whileMessageBoxOpen();
}

void HeadlessToolkit::voice(const std::string& text) {
    if (recording)
        announcements.push_back(text);
}

void HeadlessToolkit::fill(const Rect& r, Color c) {
    if (!render)
        return;
    for (int y = r.top; y < r.bottom; ++y)
        std::fill(fb_.begin() + static_cast<long>(y) * ClientWidth + r.left,
                  fb_.begin() + static_cast<long>(y) * ClientWidth + r.right, c);
}

void HeadlessToolkit::text(const interaction::TextRun& run) {
    // Every visible character leaves a block of ink in the font colour inside
    // its advance, so that a text left behind shows in the framebuffer.
    int pen = run.x;
    for (size_t i = 0; i < run.text.size();) {
        int len = utf8Length(static_cast<unsigned char>(run.text[i]));
        int advance = advance21(run.text, i) * run.pixels / 21;
        if (run.text[i] != ' ') {
            Rect ink{std::max(pen + 1, run.clip.left), std::max(run.y + 3, run.clip.top),
                     std::min(pen + advance - 1, run.clip.right),
                     std::min(run.y + run.pixels - 3, run.clip.bottom)};
            if (ink.width() > 0 && ink.height() > 0)
                fill(ink, run.color);
        }
        pen += advance;
        i += len;
    }
}

int HeadlessToolkit::count(const Rect& r, Color c) const {
    int n = 0;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, ClientHeight); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, ClientWidth); ++x)
            n += pixel(x, y) == c;
    return n;
}

} // namespace lesson
