#include "web_toolkit.h"

#include <emscripten/emscripten.h>

#include <cstring>

// The page side (web/page.js) owns the elements; these calls reach it. Colours
// travel as $BBGGRR numbers, texts as UTF-8.
// clang-format off
EM_JS(void, js_clear_stage, (), { HayasaPage.clearStage(); });
EM_JS(void, js_set_events, (int click, int select, int closeUp, int enter, int timer), {
    HayasaPage.setEvents({ click: click, select: select, closeUp: closeUp, enter: enter, timer: timer });
});
EM_JS(void, js_set_label_rise, (int rise), { HayasaPage.setLabelRise(rise); });
EM_JS(void, js_create_control, (int id, const char* name, const char* kind, int parent, int left, int top,
                                int width, int height, const char* caption, int face, int pixels,
                                int bold, int italic, int fontColor, int visible, int tabIndex,
                                int itemHeight, int penColor, const char* accessibleName,
                                const char* items), {
    HayasaPage.createControl({
        id: id, name: UTF8ToString(name), kind: UTF8ToString(kind), parent: parent,
        left: left, top: top, width: width, height: height, caption: UTF8ToString(caption),
        face: face, pixels: pixels, bold: !!bold, italic: !!italic, fontColor: fontColor >>> 0,
        visible: !!visible, tabIndex: tabIndex, itemHeight: itemHeight, penColor: penColor >>> 0,
        accessibleName: UTF8ToString(accessibleName),
        items: items ? UTF8ToString(items).split("\n") : null
    });
});
EM_JS(void, js_set_width, (int id, int width), { HayasaPage.setWidth(id, width); });
EM_JS(void, js_set_visible, (int id, int visible), { HayasaPage.setVisible(id, !!visible); });
EM_JS(void, js_set_caption, (int id, const char* text), {
    HayasaPage.setCaption(id, UTF8ToString(text));
});
EM_JS(int, js_caption_width, (int id), { return HayasaPage.captionWidth(id); });
EM_JS(int, js_item_index, (int id), { return HayasaPage.itemIndex(id); });
EM_JS(void, js_set_item_index, (int id, int index), { HayasaPage.setItemIndex(id, index); });
EM_JS(void, js_set_shape_brush, (int id, int color), { HayasaPage.setShapeBrush(id, color >>> 0); });
EM_JS(void, js_set_timer, (int id, int interval, int enabled), {
    HayasaPage.setTimer(id, interval, !!enabled);
});
EM_JS(int, js_text_out, (int x, int y, const char* text, int pixels, int fontColor, int brush), {
    return HayasaPage.textOut(x, y, UTF8ToString(text), pixels, fontColor >>> 0, brush >>> 0);
});
EM_JS(void, js_fill, (int left, int top, int right, int bottom, int color), {
    HayasaPage.fill(left, top, right, bottom, color >>> 0);
});
EM_JS(void, js_set_window_color, (int color), { HayasaPage.setWindowColor(color >>> 0); });
EM_JS(void, js_set_button_face, (int color), { HayasaPage.setButtonFace(color >>> 0); });
EM_JS(void, js_clear_surface, (int color), { HayasaPage.clearSurface(color >>> 0); });
EM_JS(void, js_message_box, (const char* text, int error), {
    HayasaPage.messageBox(UTF8ToString(text), !!error);
});
EM_JS(void, js_request_termination, (), { HayasaPage.requestTermination(); });
// clang-format on

namespace web {

using lesson::Color;
using lesson::ControlDef;
using lesson::Ctl;
using lesson::Kind;

namespace {

// The keyboard's way through the window, as on the desktop: the entry lists,
// the start button, then the verification row between the other buttons.
constexpr Ctl kTabChain[] = {Ctl::ComboBox1,   Ctl::ComboBox2,   Ctl::ComboBox3, Ctl::ComboBox4,
                             Ctl::ComboBox5,   Ctl::ComboBox6,   Ctl::RedyGoBtn, Ctl::ComboBox8,
                             Ctl::RetryBitBtn, Ctl::TrialBitBtn, Ctl::ComboBox7, Ctl::StartBitBtn,
                             Ctl::OwaruBitBtn};

int tabIndexOf(Ctl c) {
    for (std::size_t i = 0; i < std::size(kTabChain); ++i)
        if (kTabChain[i] == c)
            return static_cast<int>(i) + 1;
    return -1;
}

// 0: the Gothic face, 1: the Mincho face, 2: the Latin face of the credit.
int faceCode(const char* face) {
    if (face && std::strcmp(face, lesson::MinchoFace) == 0)
        return 1;
    if (face && std::strcmp(face, "Century") == 0)
        return 2;
    return 0;
}

std::string joinedItems(Ctl list) {
    std::string out;
    const auto& items = lesson::ListItems(list);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += '\n';
        out += items[i];
    }
    return out;
}

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Label:
    case Kind::StaticText:
        return "label";
    case Kind::Shape:
        return "shape";
    case Kind::GroupBox:
        return "group";
    case Kind::ComboBox:
        return "list";
    case Kind::Button:
    case Kind::BitBtn:
        return "button";
    default:
        return "";
    }
}

int pixelsOfPoints(int points) {
    return (points * 96 + 36) / 72;
}

} // namespace

WebToolkit::WebToolkit() : fontPixels_(lesson::LayoutOf(Ctl::Form1).fontPixels) {
    js_clear_stage();
    js_set_events(
        static_cast<int>(lesson::Event::OnClick), static_cast<int>(lesson::Event::OnSelect),
        static_cast<int>(lesson::Event::OnCloseUp), static_cast<int>(lesson::Event::OnEnter),
        static_cast<int>(lesson::Event::OnTimer));
    js_set_label_rise(lesson::LabelRise);
    // The window's colours before start-up recolours it.
    js_set_button_face(static_cast<int>(lesson::clBtnFace));
    js_set_window_color(static_cast<int>(windowColor_));
    js_clear_surface(static_cast<int>(windowColor_));
    bounds_[at(Ctl::Form1)] = lesson::Rect{0, 0, lesson::ClientWidth, lesson::ClientHeight};
    for (const ControlDef& s : lesson::Layout()) {
        bounds_[at(s.id)] = lesson::Rect{s.left, s.top, s.left + s.width, s.top + s.height};
        captions_[at(s.id)] = s.caption ? s.caption : "";
        if (s.kind == Kind::Timer)
            continue;
        std::string items = s.kind == Kind::ComboBox ? joinedItems(s.id) : std::string();
        js_create_control(static_cast<int>(s.id), s.name, kindName(s.kind),
                          s.parent == Ctl::Form1 ? -1 : static_cast<int>(s.parent), s.left, s.top,
                          s.width, s.height, s.caption, faceCode(s.fontFace), s.fontPixels, s.bold,
                          s.italic, static_cast<int>(s.fontColor), s.visible, tabIndexOf(s.id),
                          s.itemHeight, static_cast<int>(s.penColor),
                          lesson::AccessibleName(s.id) ? lesson::AccessibleName(s.id) : "",
                          s.kind == Kind::ComboBox ? items.c_str() : nullptr);
    }
    // Created enabled at 1000 ms, as the layout stores them; start-up stops
    // them before the page hands control back to the browser, so no tick is
    // ever delivered at that interval.
    for (Ctl t : {Ctl::Timer1, Ctl::Timer2})
        setTimerEnabled(t, true);
}

lesson::Rect WebToolkit::bounds(Ctl c) const {
    // A label's width follows its text, measured by the page when asked for:
    // the elapsed time changes on every tick and nobody asks for its width.
    if (widthStale_[at(c)]) {
        widthStale_[at(c)] = false;
        bounds_[at(c)].right = bounds_[at(c)].left + js_caption_width(static_cast<int>(c));
    }
    return bounds_[at(c)];
}

void WebToolkit::setWidth(Ctl c, int width) {
    lesson::Rect& b = bounds_[at(c)];
    if (b.width() == width)
        return;
    b.right = b.left + width;
    js_set_width(static_cast<int>(c), width);
}

void WebToolkit::setVisible(Ctl c, bool visible) {
    js_set_visible(static_cast<int>(c), visible);
}

void WebToolkit::setCaption(Ctl c, const std::string& text) {
    if (captions_[at(c)] == text)
        return;
    captions_[at(c)] = text;
    js_set_caption(static_cast<int>(c), text.c_str());
    // A label's width follows its text; a button keeps its size.
    Kind kind = lesson::LayoutOf(c).kind;
    if (kind == Kind::Label || kind == Kind::StaticText)
        widthStale_[at(c)] = true;
}

int WebToolkit::itemIndex(Ctl list) const {
    return js_item_index(static_cast<int>(list));
}

void WebToolkit::setItemIndex(Ctl list, int index) {
    int count = static_cast<int>(lesson::ListItems(list).size());
    js_set_item_index(static_cast<int>(list), index >= 0 && index < count ? index : -1);
}

std::string WebToolkit::itemText(Ctl list, int index) const {
    const auto& items = lesson::ListItems(list);
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : std::string();
}

void WebToolkit::setShapeBrush(Ctl shape, Color color) {
    js_set_shape_brush(static_cast<int>(shape), static_cast<int>(color));
}

void WebToolkit::setTimerInterval(Ctl timer, int ms) {
    std::size_t t = timer == Ctl::Timer1 ? 0 : 1;
    if (interval_[t] == ms)
        return;
    interval_[t] = ms;
    // A running timer starts its grid again one new interval from now.
    if (enabled_[t])
        js_set_timer(static_cast<int>(timer), ms, true);
}

void WebToolkit::setTimerEnabled(Ctl timer, bool enabled) {
    std::size_t t = timer == Ctl::Timer1 ? 0 : 1;
    if (enabled_[t] == enabled)
        return;
    enabled_[t] = enabled;
    js_set_timer(static_cast<int>(timer), interval_[t], enabled);
}

void WebToolkit::setFontSize(int points) {
    fontPixels_ = pixelsOfPoints(points);
}

void WebToolkit::fill(const lesson::Rect& r, Color c) {
    int left = r.left < 0 ? 0 : r.left;
    int top = r.top < 0 ? 0 : r.top;
    int right = r.right > lesson::ClientWidth ? lesson::ClientWidth : r.right;
    int bottom = r.bottom > lesson::ClientHeight ? lesson::ClientHeight : r.bottom;
    if (right <= left || bottom <= top)
        return;
    js_fill(left, top, right, bottom, static_cast<int>(c));
}

lesson::Rect WebToolkit::textOut(int x, int y, const std::string& text) {
    // The cell is one character high, as the labels' rows 22 pixels above the
    // bars expect; the page returns its width.
    int width = js_text_out(x, y, text.c_str(), fontPixels_, static_cast<int>(font_),
                            static_cast<int>(brush_));
    return lesson::Rect{x, y, x + width, y + fontPixels_};
}

void WebToolkit::fillRect(const lesson::Rect& r) {
    fill(r, brush_);
}

void WebToolkit::rectangle(const lesson::Rect& r) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    fill(r, pen_);
    fill(lesson::Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush_);
}

void WebToolkit::setWindowColor(Color c) {
    if (c == windowColor_)
        return;
    windowColor_ = c;
    brush_ = c;
    js_set_window_color(static_cast<int>(c));
    js_clear_surface(static_cast<int>(c));
}

void WebToolkit::refresh() {
    js_clear_surface(static_cast<int>(windowColor_));
}

void WebToolkit::messageBox(const std::string& text) {
    js_message_box(text.c_str(), false);
}

void WebToolkit::errorBox(const std::string& text) {
    js_message_box(text.c_str(), true);
}

void WebToolkit::requestTermination() {
    js_request_termination();
}

} // namespace web
