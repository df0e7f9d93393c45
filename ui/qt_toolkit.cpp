#include "qt_toolkit.h"

#include "accessibility.h"
#include "fonts.h"
#include "message_box.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>

#include <functional>

namespace ui {

using lesson::Color;

namespace {

QRect toQRect(const lesson::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

QtToolkit::QtToolkit(QWidget& window)
    : window_(window), controls_(window, *this), placement_(window),
      quiet_(window, [this](QPainter& p, const QRect& area) { paintWindow(p, area); }),
      announcer_(&window),
      surfaceFont_(LayoutFont(lesson::Face::Gothic, lesson::SurfaceFontPixels, false, false)) {
    canvas().skipRepeatedFills = qEnvironmentVariableIntValue("HAYASA_PLAIN_PATHS") != 1;
    for (Ctl t : {Ctl::Timer1, Ctl::Timer2}) {
        QTimer& timer = nativeTimer(t);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &window, [this, t] { timerFired(t); });
    }
    // Arrivals, results and a run's end are said through an object whose
    // name changes, which Qt's bridge to screen readers reports at once.
    announcer_.setObjectName("announcer");
    announcer_.setGeometry(0, 0, 0, 0);
    announcer_.setFocusPolicy(Qt::NoFocus);
    DeclareRole(&announcer_, QAccessible::StatusBar);
}

void QtToolkit::showWidth(Ctl c, int width) {
    if (ShapeWidget* bar = controls_.shape(c))
        quiet_.resize(*bar, width);
    else if (QWidget* w = controls_.control(c))
        w->resize(width, w->height());
}

void QtToolkit::showVisible(Ctl c, bool visible) {
    if (QWidget* w = controls_.control(c))
        w->setVisible(visible);
}

void QtToolkit::showCaption(Ctl c, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (AutoSizeLabel* l = controls_.label(c))
        quiet_.setCaption(*l, t);
    else if (auto* b = qobject_cast<QPushButton*>(controls_.control(c)))
        b->setText(t);
}

int QtToolkit::captionWidth(Ctl label) const {
    const QWidget* w = controls_.control(label);
    return w ? w->width() : 0;
}

void QtToolkit::showShapeBrush(Ctl shape, Color color) {
    if (ShapeWidget* s = controls_.shape(shape))
        s->setBrushColor(color);
}

void QtToolkit::showList(Ctl list, const interaction::ListModel& model) {
    if (DropDownList* l = controls_.list(list))
        l->render(model);
}

bool QtToolkit::startTimer(Ctl timer, int ms) {
    QTimer& t = nativeTimer(timer);
    t.start(ms);
    return t.isActive();
}

void QtToolkit::stopTimer(Ctl timer) {
    nativeTimer(timer).stop();
}

void QtToolkit::showWindowColor(Color c) {
    QPalette pal = window_.palette();
    pal.setColor(QPalette::Window, toQColor(c));
    window_.setPalette(pal);
}

void QtToolkit::repaintWindow() {
    if (window_.isVisible())
        window_.repaint();
}

void QtToolkit::showMessage(const std::string& text, bool error) {
    quiet_.show(); // the window as the handler left it, under the box
    ShowMessage(QString::fromStdString(text), error ? QMessageBox::Critical : QMessageBox::NoIcon);
}

void QtToolkit::terminate() {
    QCoreApplication::exit(0);
}

void QtToolkit::voice(const std::string& text) {
    const QString said = announcer_.accessibleName(), t = QString::fromStdString(text);
    // The same words again are a new announcement all the same.
    if (said == t)
        announcer_.setAccessibleName(QString());
    announcer_.setAccessibleName(t);
    QAccessibleTextUpdateEvent ev(&announcer_, 0, said, t);
    QAccessible::updateAccessibility(&ev);
}

void QtToolkit::describe(Ctl c, const std::string& text) {
    QWidget* w = c == Ctl::Form1 ? &window_ : controls_.control(c);
    if (!w)
        return;
    w->setAccessibleDescription(QString::fromStdString(text));
    QAccessibleEvent ev(w, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&ev);
}

// ---- The drawing surface ----

namespace {

// The canvas's primitives painted onto the window, within one area.
class PainterSurface : public interaction::Surface {
  public:
    PainterSurface(QPainter& p, const QRect& area, std::function<const QFont&(int)> font)
        : p_(p), area_(area), font_(std::move(font)) {}
    int textWidth(const std::string& text, int pixels) override {
        return QFontMetrics(font_(pixels)).horizontalAdvance(QString::fromStdString(text));
    }
    void fill(const lesson::Rect& r, Color c) override {
        const QRect q = toQRect(r) & area_;
        if (!q.isEmpty())
            p_.fillRect(q, toQColor(c));
    }
    void text(const interaction::TextRun& run) override {
        const QRect clip = toQRect(run.clip) & area_;
        if (clip.isEmpty())
            return;
        const QFont& font = font_(run.pixels);
        p_.save();
        p_.setClipRect(clip, Qt::IntersectClip);
        p_.setFont(font);
        p_.setPen(toQColor(run.color));
        // The cell is one character high: the tops of the glyphs must fit,
        // the rare descender may lose a pixel.
        p_.drawText(run.x, run.y + QFontMetrics(font).ascent(), QString::fromStdString(run.text));
        p_.restore();
    }

  private:
    QPainter& p_;
    QRect area_;
    std::function<const QFont&(int)> font_;
};

} // namespace

const QFont& QtToolkit::fontOf(int pixels) {
    if (surfaceFont_.pixelSize() != pixels)
        surfaceFont_.setPixelSize(pixels);
    return surfaceFont_;
}

int QtToolkit::textWidth(const std::string& text, int pixels) {
    return QFontMetrics(fontOf(pixels)).horizontalAdvance(QString::fromStdString(text));
}

// What the canvas draws shows at the window's next repaint of that area.
void QtToolkit::fill(const lesson::Rect& r, Color) {
    window_.update(toQRect(r));
}

void QtToolkit::text(const interaction::TextRun& run) {
    window_.update(toQRect(run.clip));
}

void QtToolkit::paintWindow(QPainter& p, const QRect& area) {
    p.fillRect(area, window_.palette().color(QPalette::Window));
    PainterSurface onto(p, area, [this](int pixels) -> const QFont& { return fontOf(pixels); });
    canvas().replay(onto);
}

} // namespace ui
