#include "web_toolkit.h"

#include <emscripten/emscripten.h>

// The page side (web/bridge.js) owns the elements; these calls reach it.
// Colours travel as $BBGGRR numbers, texts as UTF-8.
// clang-format off
EM_JS(void, js_clear_stage, (), { Hayasa.bridge.clearStage(); });
EM_JS(void, js_create_control, (int id, const char* name, const char* kind, int parent, int left, int top,
                                int width, int height, const char* caption, int face, int pixels,
                                int bold, int italic, int fontColor, int visible, int itemHeight,
                                int penColor, const char* accessibleName, const char* items), {
    Hayasa.bridge.createControl({
        id: id, name: UTF8ToString(name), kind: UTF8ToString(kind), parent: parent,
        left: left, top: top, width: width, height: height, caption: UTF8ToString(caption),
        face: face, pixels: pixels, bold: !!bold, italic: !!italic, fontColor: fontColor >>> 0,
        visible: !!visible, itemHeight: itemHeight, penColor: penColor >>> 0,
        accessibleName: UTF8ToString(accessibleName),
        items: items ? UTF8ToString(items).split("\n") : null
    });
});
EM_JS(int, js_widest_item, (int id), { return Hayasa.bridge.widestItem(id); });
EM_JS(void, js_place_list, (int id, int arrowWidth, int fieldWidth), {
    Hayasa.bridge.placeList(id, arrowWidth, fieldWidth);
});
EM_JS(void, js_tab_order, (const char* ids), { Hayasa.bridge.tabOrder(UTF8ToString(ids).split(",").map(Number)); });
EM_JS(void, js_set_width, (int id, int width), { Hayasa.bridge.setWidth(id, width); });
EM_JS(void, js_set_visible, (int id, int visible), { Hayasa.bridge.setVisible(id, !!visible); });
EM_JS(void, js_set_caption, (int id, const char* text), { Hayasa.bridge.setCaption(id, UTF8ToString(text)); });
EM_JS(int, js_caption_width, (int id), { return Hayasa.bridge.captionWidth(id); });
EM_JS(void, js_bar_clear, (int id), { Hayasa.bridge.barClear(id); });
EM_JS(void, js_bar_fill, (int id, int left, int top, int right, int bottom, int color), {
    Hayasa.bridge.barFill(id, left, top, right, bottom, color >>> 0);
});
EM_JS(void, js_render_list, (int id, const char* text, int selStart, int selEnd, int caret, int open,
                             int highlight, int focused), {
    Hayasa.bridge.renderList(id, UTF8ToString(text), selStart, selEnd, caret, !!open, highlight, !!focused);
});
EM_JS(void, js_start_timer, (int id, int ms), { Hayasa.bridge.startTimer(id, ms); });
EM_JS(void, js_stop_timer, (int id), { Hayasa.bridge.stopTimer(id); });
EM_JS(void, js_set_window_color, (int color), { Hayasa.bridge.setWindowColor(color >>> 0); });
EM_JS(void, js_set_button_face, (int color), { Hayasa.bridge.setButtonFace(color >>> 0); });
EM_JS(int, js_text_width, (const char* text, int pixels), {
    return Hayasa.bridge.textWidth(UTF8ToString(text), pixels);
});
EM_JS(void, js_fill, (int left, int top, int right, int bottom, int color), {
    Hayasa.bridge.fill(left, top, right, bottom, color >>> 0);
});
EM_JS(void, js_text, (int x, int y, const char* text, int pixels, int color, int left, int top,
                      int right, int bottom), {
    Hayasa.bridge.text(x, y, UTF8ToString(text), pixels, color >>> 0, left, top, right, bottom);
});
EM_JS(void, js_message_box, (const char* text, int error), {
    Hayasa.bridge.messageBox(UTF8ToString(text), !!error);
});
EM_JS(void, js_terminate, (), { Hayasa.bridge.terminate(); });
EM_JS(void, js_voice, (const char* text), { Hayasa.bridge.voice(UTF8ToString(text)); });
EM_JS(void, js_describe, (int id, const char* text), { Hayasa.bridge.describe(id, UTF8ToString(text)); });
// clang-format on

namespace web {

using lesson::Color;
using lesson::ControlDef;
using lesson::Ctl;
using lesson::Kind;
using lesson::LayoutOf;

namespace {

std::string joinedItems(Ctl list) {
    std::string out;
    const auto& items = lesson::ListItems(list);
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i > 0 ? "\n" : "") + items[i];
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

} // namespace

WebToolkit::WebToolkit() {
    js_clear_stage();
    // The window's colours before start-up recolours it.
    js_set_button_face(static_cast<int>(lesson::clBtnFace));
    js_set_window_color(static_cast<int>(windowColor()));
    for (const ControlDef& s : lesson::Layout()) {
        shownCaptions_[static_cast<size_t>(s.id)] = s.caption;
        if (s.kind == Kind::Timer)
            continue;
        std::string items = s.kind == Kind::ComboBox ? joinedItems(s.id) : std::string();
        const char* name = lesson::AccessibleName(s.id);
        js_create_control(static_cast<int>(s.id), s.name, kindName(s.kind),
                          s.parent == Ctl::Form1 ? -1 : static_cast<int>(s.parent), s.left, s.top,
                          s.width, s.height, s.caption, static_cast<int>(s.face), s.fontPixels,
                          s.bold, s.italic, static_cast<int>(s.fontColor), s.visible, s.itemHeight,
                          static_cast<int>(s.penColor), name ? name : "",
                          s.kind == Kind::ComboBox ? items.c_str() : nullptr);
        if (s.kind == Kind::ComboBox) {
            auto g =
                interaction::ListGeometry::For(s.width, js_widest_item(static_cast<int>(s.id)));
            js_place_list(static_cast<int>(s.id), g.arrowWidth, g.fieldWidth);
        }
    }
    // The elements stand in the order the Tab key visits them.
    std::string chain;
    for (Ctl c : lesson::TabChain())
        chain += (chain.empty() ? "" : ",") + std::to_string(static_cast<int>(c));
    js_tab_order(chain.c_str());
}

void WebToolkit::showWidth(Ctl c, int width) {
    if (LayoutOf(c).kind == Kind::Shape)
        paintBar(c, false);
    js_set_width(static_cast<int>(c), width);
}

void WebToolkit::showVisible(Ctl c, bool visible) {
    js_set_visible(static_cast<int>(c), visible);
    if (LayoutOf(c).kind == Kind::Shape)
        paintBar(c, true);
}

void WebToolkit::paintBar(Ctl bar, bool anew) {
    const int id = static_cast<int>(bar);
    const lesson::Rect b = bounds(bar);
    const int width = visible(bar) ? b.width() : 0;
    int& painted = painted_[static_cast<size_t>(bar)];
    if (anew || width < painted) {
        if (painted > 0)
            js_bar_clear(id);
        painted = 0;
    }
    for (const auto& [r, color] : interaction::ShapeFills(width, b.height(), LayoutOf(bar).penColor,
                                                          shapeBrush(bar), painted))
        js_bar_fill(id, r.left, r.top, r.right, r.bottom, static_cast<int>(color));
    painted = width;
}

void WebToolkit::rescaled() {
    canvas().replay(*this);
    for (const ControlDef& s : lesson::Layout())
        if (s.kind == Kind::Shape) {
            // The canvas was wiped with its new size.
            painted_[static_cast<size_t>(s.id)] = 0;
            paintBar(s.id, true);
        }
}

void WebToolkit::showCaption(Ctl c, const std::string& text) {
    // A caption that does not change is not sent to the page.
    std::string& shown = shownCaptions_[static_cast<size_t>(c)];
    if (shown == text)
        return;
    shown = text;
    js_set_caption(static_cast<int>(c), text.c_str());
}

int WebToolkit::captionWidth(Ctl label) const {
    return js_caption_width(static_cast<int>(label));
}

void WebToolkit::showShapeBrush(Ctl shape, Color) {
    paintBar(shape, true);
}

void WebToolkit::showList(Ctl list, const interaction::ListModel& m) {
    js_render_list(static_cast<int>(list), m.text().c_str(), m.selectionStart(), m.selectionEnd(),
                   m.caret(), m.isOpen(), m.highlight(), m.hasFocus());
}

bool WebToolkit::startTimer(Ctl timer, int ms) {
    js_start_timer(static_cast<int>(timer), ms);
    return true;
}

void WebToolkit::stopTimer(Ctl timer) {
    js_stop_timer(static_cast<int>(timer));
}

void WebToolkit::showWindowColor(Color c) {
    js_set_window_color(static_cast<int>(c));
}

void WebToolkit::showMessage(const std::string& text, bool error) {
    js_message_box(text.c_str(), error);
}

void WebToolkit::terminate() {
    js_terminate();
}

void WebToolkit::voice(const std::string& text) {
    js_voice(text.c_str());
}

void WebToolkit::describe(Ctl c, const std::string& text) {
    js_describe(c == Ctl::Form1 ? -1 : static_cast<int>(c), text.c_str());
}

int WebToolkit::textWidth(const std::string& text, int pixels) {
    return js_text_width(text.c_str(), pixels);
}

void WebToolkit::fill(const lesson::Rect& r, Color c) {
    js_fill(r.left, r.top, r.right, r.bottom, static_cast<int>(c));
}

void WebToolkit::text(const interaction::TextRun& run) {
    js_text(run.x, run.y, run.text.c_str(), run.pixels, static_cast<int>(run.color), run.clip.left,
            run.clip.top, run.clip.right, run.clip.bottom);
}

} // namespace web
