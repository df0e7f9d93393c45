#include "form.h"

#include "accessibility.h"
#include "fonts.h"
#include "palette.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>

#include "mainicon.xpm"

namespace ui {

TForm1::TForm1() {
    // A frame to screen readers, not a filler; declared before anything
    // asks for the window's accessible view.
    DeclareRole(this, QAccessible::Window);
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(lesson::AppTitle));
    setAccessibleName(QString::fromUtf8(lesson::AppTitle));
    setWindowIcon(QIcon(QPixmap(mainicon_xpm)));
    QApplication::setWindowIcon(windowIcon()); // the message boxes' too
    setFont(LayoutFont(lesson::Face::Gothic, 12, false, false));
    setPalette(LayoutPalette()); // whatever the desktop's theme
    resize(lesson::CreationClientWidth, lesson::CreationClientHeight);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    toolkit_ = std::make_unique<QtToolkit>(*this);
    lesson_ = std::make_unique<lesson::Lesson>(*toolkit_);
    toolkit_->events().setTarget([this](Ctl c, lesson::Event e) { lesson_->dispatch(c, e); });
    // The focus moving to a button or from the window; a list reports its
    // own, with whether the keyboard moved it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        Ctl c;
        if (now && controlOf(now, &c) && !toolkit_->controls().list(c))
            toolkit_->focusMoved(c, false);
    });
    toolkit_->events().run([this] { lesson_->FormCreate(); }); // the window's OnCreate
}

TForm1::~TForm1() {
    // Tearing down the widgets moves the focus and hides lists: none of that
    // may reach the handlers of a window that is going away.
    toolkit_->events().stop();
    disconnect(qApp, nullptr, this, nullptr);
    toolkit_->controls().closeLists();
}

void TForm1::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.setClipRegion(e->region());
    toolkit_->paintWindow(p, e->rect());
}

void TForm1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    toolkit_->placement().placeCentred();
    toolkit_->placement().awaitFrame();
}

} // namespace ui
