#include "form.h"

#include "accessibility.h"
#include "qt_toolkit.h"

#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QStyledItemDelegate>
#include <QTimer>

#include <exception>

#include "mainicon.xpm"

namespace ui {

using lesson::ControlDef;
using lesson::Kind;

namespace {

// The drawn buttons move their caption one pixel right and down while they
// are pressed, as buttons drawn by the toolkit itself always have.
class BitBtnStyle : public QProxyStyle {
  public:
    BitBtnStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}
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

// Names for controls without a caption of their own; the others are named by
// their captions.
const char* accessibleRole(Ctl c) {
    switch (c) {
    case Ctl::ComboBox1:
        return "走者１の距離";
    case Ctl::ComboBox2:
        return "走者１の時間";
    case Ctl::ComboBox3:
        return "走者２の距離";
    case Ctl::ComboBox4:
        return "走者２の時間";
    case Ctl::ComboBox5:
        return "走者３の距離";
    case Ctl::ComboBox6:
        return "走者３の時間";
    case Ctl::ComboBox7:
        return "そろえるもの";
    case Ctl::ComboBox8:
        return "そろえる値";
    case Ctl::RunnerShape1:
        return "走者１のバー";
    case Ctl::RunnerShape2:
        return "走者２のバー";
    case Ctl::RunnerShape3:
        return "走者３のバー";
    case Ctl::TrunShape1:
        return "確かめる走者１のバー";
    case Ctl::TrunShape2:
        return "確かめる走者２のバー";
    case Ctl::TrunShape3:
        return "確かめる走者３のバー";
    default:
        return nullptr;
    }
}

void setTextColor(QWidget* w, QPalette::ColorRole role, lesson::Color c) {
    QPalette pal = w->palette();
    pal.setColor(role, toQColor(c));
    w->setPalette(pal);
}

} // namespace

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(QString::fromUtf8(lesson::GothicFace),
                               {"IPAPGothic", "IPA Pゴシック"});
    QFont::insertSubstitutions(QString::fromUtf8(lesson::MinchoFace), {"IPAMincho", "IPA明朝"});
    QFont::insertSubstitutions("Century", {"C059", "Century Schoolbook L"});
}

void SetUpApplication() {
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    InstallFontSubstitutes();
    InstallAccessibility();
}

QFont LayoutFont(const char* face, int pixels, bool bold, bool italic) {
    QFont f(QString::fromUtf8(face));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferMatch);
    return f;
}

TForm1::TForm1() {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(lesson::AppTitle));
    setAccessibleName(QString::fromUtf8(lesson::AppTitle));
    setWindowIcon(QIcon(QPixmap(mainicon_xpm)));
    QApplication::setWindowIcon(windowIcon()); // the message boxes' too
    setFont(LayoutFont(lesson::GothicFace, 12, false, false));
    resize(lesson::CreationClientWidth, lesson::CreationClientHeight);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    build();
    makeSurface();
    toolkit_ = std::make_unique<QtToolkit>(*this);
    lesson_ = std::make_unique<lesson::Lesson>(*toolkit_);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { onFocusChanged(now); });
    created_ = true;
    try {
        lesson_->FormCreate(); // the window's OnCreate
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromUtf8(lesson::AppTitle),
                              QString::fromUtf8(e.what()));
    }
}

TForm1::~TForm1() {
    // Tearing down the widgets moves the focus and hides lists: none of that
    // may reach the handlers of a window that is going away.
    created_ = false;
    disconnect(qApp, nullptr, this, nullptr);
    // An open list closes while the widgets are torn down: its close-up must
    // not call back into this half-destroyed window.
    for (QWidget* w : controls_)
        if (auto* l = qobject_cast<DropDownList*>(w)) {
            l->detach();
            l->hidePopup();
        }
}

void TForm1::build() {
    RaiseFn raiseFn = [this](Ctl c, Event e) { raise(c, e); };
    for (const ControlDef& s : lesson::Layout()) {
        QWidget* parent = s.parent == Ctl::Form1 ? this : control(s.parent);
        QWidget* w = nullptr;
        QString caption = QString::fromUtf8(s.caption);
        QFont font = LayoutFont(s.fontFace, s.fontPixels > 0 ? s.fontPixels : 12, s.bold, s.italic);
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
            auto* g = new QGroupBox(caption, parent);
            g->setFocusPolicy(Qt::NoFocus);
            setTextColor(g, QPalette::WindowText, s.fontColor);
            w = g;
            break;
        }
        case Kind::ComboBox: {
            auto* l = new DropDownList(s.id, raiseFn, parent);
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
            connect(b, &QPushButton::clicked, this, [this, id] { raise(id, Event::OnClick); });
            w = b;
            break;
        }
        case Kind::Timer:
            timers_[s.id == Ctl::Timer1 ? 0 : 1] = new TimerControl(s.id, raiseFn, this);
            break;
        case Kind::Window:
            break;
        }
        if (!w)
            continue;
        w->setObjectName(s.name);
        if (const char* role = accessibleRole(s.id))
            NameForScreenReaders(w, QString::fromUtf8(role));
        if (s.fontPixels > 0)
            w->setFont(font);
        w->setGeometry(s.left, s.top, s.width, s.height);
        w->setVisible(s.visible);
        controls_[static_cast<size_t>(s.id)] = w;
    }
    // Created enabled at 1000 ms, as the layout stores them; start-up stops them
    // before any tick can be delivered.
    for (TimerControl* t : timers_)
        t->setEnabled(true);

    const Ctl tabChain[] = {Ctl::ComboBox1,   Ctl::ComboBox2,   Ctl::ComboBox3, Ctl::ComboBox4,
                            Ctl::ComboBox5,   Ctl::ComboBox6,   Ctl::RedyGoBtn, Ctl::ComboBox8,
                            Ctl::RetryBitBtn, Ctl::TrialBitBtn, Ctl::ComboBox7, Ctl::StartBitBtn,
                            Ctl::OwaruBitBtn};
    for (size_t i = 0; i + 1 < std::size(tabChain); ++i)
        setTabOrder(control(tabChain[i]), control(tabChain[i + 1]));
}

DropDownList* TForm1::list(Ctl c) const {
    return qobject_cast<DropDownList*>(control(c));
}
ShapeWidget* TForm1::shape(Ctl c) const {
    return dynamic_cast<ShapeWidget*>(control(c));
}

void TForm1::makeSurface() {
    qreal dpr = devicePixelRatioF();
    QColor fillColor = surface_.isNull() ? palette().color(QPalette::Window) : QColor();
    QImage next(qRound(lesson::ClientWidth * dpr), qRound(lesson::ClientHeight * dpr),
                QImage::Format_RGB32);
    next.setDevicePixelRatio(dpr);
    if (surface_.isNull()) {
        next.fill(fillColor);
    } else {
        QPainter p(&next);
        p.drawImage(QRect(0, 0, lesson::ClientWidth, lesson::ClientHeight), surface_);
    }
    surface_ = next;
}

void TForm1::clearSurface(const QColor& c) {
    surface_.fill(c);
    update();
}

void TForm1::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.setClipRegion(e->region());
    p.fillRect(e->rect(), palette().color(QPalette::Window));
    p.drawImage(QPoint(0, 0), surface_);
}

void TForm1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!qFuzzyCompare(devicePixelRatioF(), surface_.devicePixelRatio()))
        makeSurface();
    if (shownOnce_)
        return;
    shownOnce_ = true;
    placeCentred();
    awaitFrame();
}

void TForm1::placeCentred() {
    // Centred on the whole virtual desktop at the first showing only.
    QRect desktop = screen() ? screen()->virtualGeometry() : QRect(0, 0, 1024, 768);
    QRect outer = toolkit_->outerBounds();
    lesson::Point p =
        lesson::CentredPosition(desktop.width(), desktop.height(), outer.width(), outer.height());
    toolkit_->placeAt(QPoint(desktop.left() + p.x, desktop.top() + p.y));
}

void TForm1::awaitFrame() {
    // A window manager frames the window some time after it is first shown,
    // and tells no event of it. Look a few times; once the frame is known the
    // outer size becomes 1024 x 768, frame included, centred with that size.
    auto* poll = new QTimer(this);
    poll->setInterval(100);
    connect(poll, &QTimer::timeout, this, [this, poll, looks = 50]() mutable {
        bool framed = !toolkit_->frameMargins().isNull();
        if (framed && windowState() == Qt::WindowNoState)
            placeCentred();
        if (framed || --looks == 0) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

bool TForm1::controlOf(const QWidget* w, Ctl* out) const {
    for (; w; w = w->parentWidget()) {
        for (size_t i = 0; i < controls_.size(); ++i)
            if (controls_[i] == w) {
                *out = static_cast<Ctl>(i);
                return true;
            }
        if (w == this)
            return false;
    }
    return false;
}

void TForm1::onFocusChanged(QWidget* now) {
    Ctl c;
    if (!now || !controlOf(now, &c) || c == activeControl_)
        return;
    // A list's popup, a message box or another window taking the focus and
    // giving it back is no entering of the control.
    activeControl_ = c;
    raise(c, Event::OnEnter);
}

void TForm1::raise(Ctl sender, Event event) {
    if (!created_)
        return;
    try {
        if (eventObserver)
            eventObserver(sender, event);
        lesson_->dispatch(sender, event);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromUtf8(lesson::AppTitle),
                              QString::fromUtf8(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QString::fromUtf8(lesson::AppTitle),
                              QString::fromUtf8("予期しないエラーが発生しました"));
    }
}

} // namespace ui
