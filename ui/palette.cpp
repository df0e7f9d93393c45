#include "palette.h"

#include "controls.h"
#include "shape_widget.h"

namespace ui {

namespace {
// The system colours of the desktop the layout was drawn on, beside the
// ones the layout names itself.
constexpr lesson::Color clBtnHighlight = 0xFFFFFF;
constexpr lesson::Color cl3DLight = 0xE3E3E3;
constexpr lesson::Color clBtnShadow = 0xA0A0A0;
constexpr lesson::Color cl3DDkShadow = 0x696969;
constexpr lesson::Color clHighlight = 0xD77800;
constexpr lesson::Color clHighlightText = 0xFFFFFF;
constexpr lesson::Color clGrayText = 0x6D6D6D;
constexpr lesson::Color clInfoBk = 0xE1FFFF;
constexpr lesson::Color clHotLight = 0xCC6600;
} // namespace

QPalette LayoutPalette() {
    QPalette pal;
    auto set = [&pal](QPalette::ColorRole role, lesson::Color c) {
        pal.setColor(role, toQColor(c)); // every colour group alike
    };
    set(QPalette::Window, lesson::clBtnFace);
    set(QPalette::WindowText, lesson::clWindowText);
    set(QPalette::Base, lesson::clWindow);
    set(QPalette::AlternateBase, lesson::clWindow);
    set(QPalette::Text, lesson::clWindowText);
    set(QPalette::Button, lesson::clBtnFace);
    set(QPalette::ButtonText, lesson::clWindowText);
    set(QPalette::BrightText, clBtnHighlight);
    set(QPalette::Light, clBtnHighlight);
    set(QPalette::Midlight, cl3DLight);
    set(QPalette::Mid, clBtnShadow);
    set(QPalette::Dark, clBtnShadow);
    set(QPalette::Shadow, cl3DDkShadow);
    set(QPalette::Highlight, clHighlight);
    set(QPalette::HighlightedText, clHighlightText);
    set(QPalette::ToolTipBase, clInfoBk);
    set(QPalette::ToolTipText, lesson::clWindowText);
    set(QPalette::PlaceholderText, clGrayText);
    set(QPalette::Link, clHotLight);
    set(QPalette::LinkVisited, clHotLight);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, toQColor(clGrayText));
    return pal;
}

} // namespace ui
