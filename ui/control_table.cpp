#include "control_table.h"

#include "accessibility.h"
#include "fonts.h"
#include "group_box.h"
#include "look_style.h"
#include "push_button.h"

#include <QApplication>
#include <QGroupBox>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyledItemDelegate>

#include <utility>
#include <vector>

namespace ui {

using lesson::ControlDef;
using lesson::Kind;

namespace {

// The drawn buttons move their caption one pixel right and down while they
// are pressed: the caption sinks with the button, so a pupil sees the press
// where they are looking. The style's own push button keeps its look.
class BitBtnStyle : public QProxyStyle {
  public:
    BitBtnStyle() : QProxyStyle(new LookStyle) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ButtonShiftHorizontal || metric == PM_ButtonShiftVertical)
            return 1;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// One for the whole application, which outlives every window using it.
QStyle* bitBtnStyle() {
    static QStyle* style = [] {
        auto* s = new BitBtnStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

// Rows of a dropped-down list are as high as the layout's item height.
class ItemHeightDelegate : public QStyledItemDelegate {
  public:
    ItemHeightDelegate(int height, QObject* parent)
        : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(height_);
        return s;
    }

  private:
    int height_;
};

void setTextColor(QWidget* w, QPalette::ColorRole role, lesson::Color c) {
    QPalette pal = w->palette();
    pal.setColor(role, toQColor(c));
    w->setPalette(pal);
}

} // namespace

ControlTable::ControlTable(QWidget& window, interaction::BaseToolkit& toolkit) : window_(window) {
    for (const ControlDef& s : lesson::Layout()) {
        QWidget* parent = s.parent == Ctl::Form1 ? &window_ : control(s.parent);
        QWidget* w = nullptr;
        QString caption = QString::fromUtf8(s.caption);
        QFont font = LayoutFont(s.face, s.fontPixels > 0 ? s.fontPixels : 12, s.bold, s.italic);
        switch (s.kind) {
        case Kind::Label:
        case Kind::StaticText: {
            auto* l = new AutoSizeLabel(caption, parent);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setAutoFillBackground(true);
            l->setMargin(0);
            l->setFocusPolicy(Qt::NoFocus);
            setTextColor(l, QPalette::WindowText, s.fontColor);
            w = l;
            break;
        }
        case Kind::Shape:
            w = new ShapeWidget(s.penColor, parent);
            break;
        case Kind::GroupBox: {
            auto* g = new GroupBox(caption, parent);
            g->setFocusPolicy(Qt::NoFocus);
            setTextColor(g, QPalette::WindowText, s.fontColor);
            w = g;
            break;
        }
        case Kind::ComboBox: {
            auto* l = new DropDownList(s.id, toolkit, parent);
            l->setFont(font);
            l->setItemDelegate(new ItemHeightDelegate(s.itemHeight, l));
            l->setItems(lesson::ListItems(s.id));
            w = l;
            break;
        }
        case Kind::Button:
        case Kind::BitBtn: {
            auto* b = new PushButton(caption, parent);
            setTextColor(b, QPalette::ButtonText, s.fontColor);
            if (s.kind == Kind::BitBtn)
                b->setStyle(bitBtnStyle());
            Ctl id = s.id;
            QObject::connect(b, &QPushButton::clicked, b, [&toolkit, id] {
                toolkit.events().raise(id, lesson::Event::OnClick);
            });
            w = b;
            break;
        }
        case Kind::Timer:
        case Kind::Window:
            break;
        }
        if (!w)
            continue;
        w->setObjectName(s.name);
        if (const char* role = lesson::AccessibleName(s.id))
            NameForScreenReaders(w, QString::fromUtf8(role));
        if (s.fontPixels > 0)
            w->setFont(font);
        w->setGeometry(s.left, s.top, s.width, s.height);
        w->setVisible(s.visible);
        controls_[static_cast<size_t>(s.id)] = w;
    }
    // Tab visits the lists and buttons in the layout's tab order.
    std::vector<Ctl> chain = lesson::TabChain();
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(control(chain[i]), control(chain[i + 1]));
}

DropDownList* ControlTable::list(Ctl c) const {
    return qobject_cast<DropDownList*>(control(c));
}
ShapeWidget* ControlTable::shape(Ctl c) const {
    return dynamic_cast<ShapeWidget*>(control(c));
}
AutoSizeLabel* ControlTable::label(Ctl c) const {
    return dynamic_cast<AutoSizeLabel*>(control(c));
}

bool ControlTable::controlOf(const QWidget* w, Ctl* out) const {
    for (; w; w = w->parentWidget()) {
        for (size_t i = 0; i < controls_.size(); ++i)
            if (controls_[i] == w) {
                *out = static_cast<Ctl>(i);
                return true;
            }
        if (w == &window_)
            return false;
    }
    return false;
}

void ControlTable::closeLists() {
    for (QWidget* w : controls_)
        if (auto* l = qobject_cast<DropDownList*>(w)) {
            l->detach();
            l->hidePopup();
        }
}

} // namespace ui
