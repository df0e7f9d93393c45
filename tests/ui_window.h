// The real window on Qt's offscreen platform, shown for each test, with the
// events it raises recorded and the keys and clicks a user would give it.
#pragma once

#include "form.h"
#include "qt_toolkit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace uitest {

using lesson::Ctl;
using lesson::Event;
using ui::TForm1;

struct Raised {
    Ctl ctl;
    Event event;
    bool operator==(const Raised& o) const { return ctl == o.ctl && event == o.event; }
};

inline std::ostream& operator<<(std::ostream& os, const Raised& r) {
    static const char* names[] = {"OnClick", "OnSelect", "OnCloseUp", "OnEnter", "OnTimer"};
    return os << lesson::NameOf(r.ctl) << "." << names[static_cast<int>(r.event)];
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TForm1>();
        form->toolkit().events().observer = [this](Ctl c, Event e) {
            if (e != Event::OnTimer)
                raised.push_back({c, e});
        };
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QApplication::processEvents();
        raised.clear();
    }
    void TearDown() override { form.reset(); }

    QWidget* w(Ctl c) { return form->control(c); }
    ui::DropDownList* list(Ctl c) { return form->list(c); }
    lesson::LessonState& state() { return form->lesson().state(); }

    // Keys go where the window system would send them: to an open popup first.
    static QWidget* keyTarget() {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup->focusWidget() ? popup->focusWidget() : popup;
        return QApplication::focusWidget();
    }
    void type(const char* keys) {
        for (const char* k = keys; *k; ++k)
            QTest::keyClick(keyTarget(), *k);
    }
    void key(Qt::Key k) { QTest::keyClick(keyTarget(), k); }
    void focus(Ctl c) {
        // Closing a popup can leave the offscreen window inactive.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        w(c)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    void closePopups() {
        while (QApplication::activePopupWidget()) {
            QTest::keyClick(keyTarget(), Qt::Key_Escape);
            QApplication::processEvents();
        }
    }
    // Enters a runner's distance and time by typing into the closed lists.
    void enter(Ctl list, const char* text) {
        focus(list);
        type(text);
        closePopups();
    }
    QColor pixelAt(const QImage& img, int x, int y) { return img.pixelColor(x, y); }
    QImage grabClient() { return form->grab().toImage(); }
    int countColor(const QImage& img, const QRect& r, const QColor& c) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += img.pixelColor(x, y) == c;
        return n;
    }

    std::unique_ptr<TForm1> form;
    std::vector<Raised> raised;
};
} // namespace uitest
