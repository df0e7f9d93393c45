// The window as the layout builds it: where each control stands, captions,
// fonts and colours, the drawn buttons, the lists' items and the tab chain.
#include "ui_window.h"

#include <QPushButton>

using lesson::Ctl;
using lesson::Event;
using uitest::Window;

namespace {

TEST_F(Window, EveryControlStandsWhereTheLayoutPutsIt) {
    struct Expect {
        const char* name;
        const char* parent;
        int l, t, w, h;
        bool visible;
    } table[] = {
        {"RunnerLbl1", "Form1", 8, 200, 90, 21, true},
        {"RunnerLbl2", "Form1", 8, 256, 90, 21, true},
        {"RunnerLbl3", "Form1", 8, 312, 90, 21, true},
        {"RunnerShape1", "Form1", 104, 200, 0, 20, true},
        {"RunnerShape2", "Form1", 104, 256, 0, 20, true},
        {"RunnerShape3", "Form1", 104, 312, 0, 20, true},
        {"TrunLbl1", "Form1", 8, 536, 90, 21, false},
        {"TrunLbl2", "Form1", 8, 592, 90, 21, false},
        {"TrunLbl3", "Form1", 8, 648, 90, 21, false},
        {"TrunShape1", "Form1", 104, 536, 0, 20, false},
        {"TrunShape2", "Form1", 104, 592, 0, 20, false},
        {"TrunShape3", "Form1", 104, 648, 0, 20, false},
        {"Label13", "Form1", 88, 456, 27, 32, false},
        {"Label14", "Form1", 200, 456, 165, 32, false},
        {"RunnerBox1", "Form1", 8, 40, 193, 129, true},
        {"RunnerBox2", "Form1", 224, 40, 193, 129, true},
        {"RunnerBox3", "Form1", 440, 40, 193, 129, true},
        {"Label1", "RunnerBox1", 8, 34, 62, 27, true},
        {"Label2", "RunnerBox1", 146, 36, 20, 27, true},
        {"Label3", "RunnerBox1", 146, 86, 22, 21, true},
        {"Label4", "RunnerBox1", 8, 82, 62, 27, true},
        {"ComboBox1", "RunnerBox1", 72, 32, 73, 29, true},
        {"ComboBox2", "RunnerBox1", 72, 80, 73, 29, true},
        {"Label7", "RunnerBox2", 146, 86, 22, 21, true},
        {"ComboBox3", "RunnerBox2", 72, 32, 73, 29, true},
        {"ComboBox4", "RunnerBox2", 72, 80, 73, 29, true},
        {"Label12", "RunnerBox3", 8, 82, 62, 27, true},
        {"ComboBox5", "RunnerBox3", 72, 32, 73, 29, true},
        {"ComboBox6", "RunnerBox3", 72, 80, 73, 29, true},
        {"JikanLbl", "Form1", 656, 128, 207, 32, true},
        {"RedyGoBtn", "Form1", 656, 56, 201, 57, true},
        {"Syomei", "Form1", 848, 0, 150, 25, true},
        {"RetryBitBtn", "Form1", 872, 56, 129, 57, true},
        {"TrialBitBtn", "Form1", 0, 392, 193, 41, false},
        {"ComboBox7", "Form1", 0, 456, 85, 32, false},
        {"ComboBox8", "Form1", 120, 456, 73, 32, false},
        {"StartBitBtn", "Form1", 392, 448, 153, 41, false},
        {"OwaruBitBtn", "Form1", 872, 376, 129, 57, true},
    };
    for (const auto& e : table) {
        auto* c = form->findChild<QWidget*>(e.name);
        ASSERT_NE(c, nullptr) << e.name;
        EXPECT_EQ(c->parentWidget()->objectName(), e.parent) << e.name;
        EXPECT_EQ(c->geometry(), QRect(e.l, e.t, e.w, e.h)) << e.name;
        EXPECT_EQ(c->isVisible(), e.visible) << e.name;
    }
    EXPECT_EQ(form->frameGeometry().size(), QSize(lesson::WindowWidth, lesson::WindowHeight));
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("速さの比べ方"));
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(Window, CaptionsFontsAndColours) {
    struct Expect {
        Ctl ctl;
        const char* caption;
        const char* family;
        int pixels;
        bool bold, italic;
        QColor color;
    } table[] = {
        {Ctl::RedyGoBtn, "よ～い、ドン！", "IPAPGothic", 32, true, false, Qt::black},
        {Ctl::RetryBitBtn, "もう一度", "IPAPGothic", 27, true, true, QColor(0, 0, 128)},
        {Ctl::OwaruBitBtn, "お わ る", "IPAPGothic", 27, true, true, QColor(64, 0, 128)},
        {Ctl::TrialBitBtn, "確かめよう！", "IPAPGothic", 27, true, true, QColor(0, 128, 0)},
        {Ctl::StartBitBtn, "スタート！", "IPAPGothic", 27, true, true, QColor(255, 0, 0)},
        {Ctl::JikanLbl, "かかった時間：", "IPAPGothic", 32, true, false, QColor(255, 0, 0)},
        {Ctl::RunnerLbl1, "走 者 １", "IPAMincho", 21, true, false, QColor(128, 0, 0)},
        {Ctl::RunnerLbl3, "走 者 ３", "IPAMincho", 21, true, false, QColor(255, 0, 255)},
        {Ctl::Label3, "秒", "IPAPGothic", 21, true, false, Qt::black},
        {Ctl::Label2, "m", "IPAPGothic", 27, false, false, Qt::black},
        {Ctl::Syomei, nullptr, "C059", 21, false, true, QColor(0, 128, 0)},
        {Ctl::RunnerBox2, "２コースの走者", "IPAPGothic", 27, false, false, QColor(255, 0, 0)},
    };
    for (const auto& e : table) {
        QWidget* c = w(e.ctl);
        SCOPED_TRACE(lesson::NameOf(e.ctl));
        if (e.caption) {
            EXPECT_EQ(form->toolkit().caption(e.ctl), e.caption);
        }
        QFontInfo info(c->font());
        EXPECT_TRUE(info.family().startsWith(e.family)) << info.family().toStdString();
        EXPECT_EQ(c->font().pixelSize(), e.pixels);
        EXPECT_EQ(c->font().bold(), e.bold);
        EXPECT_EQ(c->font().italic(), e.italic);
        auto role = qobject_cast<QPushButton*>(c) ? QPalette::ButtonText : QPalette::WindowText;
        EXPECT_EQ(c->palette().color(role), e.color);
    }
    // "よ～い、ドン！" holds the full-width tilde.
    EXPECT_TRUE(qobject_cast<QPushButton*>(w(Ctl::RedyGoBtn))->text().contains(QChar(0xFF5E)));
    // Labels stand on the window colour; lists keep the field colour.
    QImage img = grabClient();
    EXPECT_EQ(pixelAt(img, 95, 205), QColor(0x80, 0xFF, 0x80));
    EXPECT_EQ(w(Ctl::Label1)->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0x80));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0x80, 0xFF, 0x80));
}

// Bounding box of the pixels in the button's caption colour.
QRect inkOf(QPushButton* b) {
    QImage img = b->grab().toImage();
    QColor ink = b->palette().color(QPalette::ButtonText);
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == ink)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(Window, DrawnButtonsShiftTheirCaptionWhilePressed) {
    for (Ctl c : {Ctl::RetryBitBtn, Ctl::OwaruBitBtn}) {
        auto* b = qobject_cast<QPushButton*>(w(c));
        QRect up = inkOf(b);
        b->setDown(true);
        QRect down = inkOf(b);
        b->setDown(false);
        ASSERT_FALSE(up.isEmpty()) << lesson::NameOf(c);
        EXPECT_EQ(down.topLeft() - up.topLeft(), QPoint(1, 1)) << lesson::NameOf(c);
    }
    // The standard push button is the window system's own.
    auto* go = qobject_cast<QPushButton*>(w(Ctl::RedyGoBtn));
    QRect up = inkOf(go);
    go->setDown(true);
    EXPECT_EQ(inkOf(go).topLeft(), up.topLeft());
    go->setDown(false);
}

TEST_F(Window, ListsHoldTheirItems) {
    struct Expect {
        Ctl ctl;
        int count;
        int probe;
        const char* text;
        int current;
    } table[] = {
        {Ctl::ComboBox1, 110, 11, "20", 0},   {Ctl::ComboBox3, 110, 109, "1000", 0},
        {Ctl::ComboBox2, 281, 121, "131", 0}, {Ctl::ComboBox6, 281, 280, "300", 0},
        {Ctl::ComboBox7, 3, 2, "時間", -1},   {Ctl::ComboBox8, 1001, 1000, "1000", -1},
    };
    for (const auto& e : table) {
        SCOPED_TRACE(lesson::NameOf(e.ctl));
        EXPECT_EQ(list(e.ctl)->count(), e.count);
        EXPECT_EQ(list(e.ctl)->itemText(0), "");
        EXPECT_EQ(list(e.ctl)->itemText(e.probe), QString::fromUtf8(e.text));
        EXPECT_EQ(list(e.ctl)->currentIndex(), e.current);
        EXPECT_EQ(list(e.ctl)->maxVisibleItems(), 8);
    }
}

TEST_F(Window, TabVisitsTheControlsInTheLayoutsOrder) {
    auto walk = [&](Ctl from, int steps) {
        focus(from);
        std::vector<std::string> seen;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            lesson::Ctl c;
            seen.push_back(form->controlOf(QApplication::focusWidget(), &c) ? lesson::NameOf(c)
                                                                            : "?");
        }
        return seen;
    };
    EXPECT_EQ(
        walk(Ctl::ComboBox1, 9),
        (std::vector<std::string>{"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6",
                                  "RedyGoBtn", "RetryBitBtn", "OwaruBitBtn", "ComboBox1"}));
    form->lesson().TrialBitBtnClick();
    form->toolkit().setVisible(Ctl::TrialBitBtn, true);
    EXPECT_EQ(walk(Ctl::RedyGoBtn, 7),
              (std::vector<std::string>{"ComboBox8", "RetryBitBtn", "TrialBitBtn", "ComboBox7",
                                        "StartBitBtn", "OwaruBitBtn", "ComboBox1"}));
}

} // namespace
