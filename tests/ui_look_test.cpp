// The window as the layout draws it, whatever the desktop: entry boxes,
// lists whose items can be read whole, the layout's colours under a dark
// theme and Qt's own texts in Japanese.
#include "form.h"
#include "group_box.h"
#include "qt_toolkit.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using lesson::Ctl;
using ui::TForm1;

namespace {

const QColor WindowGreen(0x80, 0xFF, 0x80);

// The dark pixels of an image, cropped to their bounding box: the glyphs.
QImage Ink(const QImage& img, QRect area) {
    area &= img.rect();
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    QImage mask(box.size(), QImage::Format_Mono);
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x)
            mask.setPixel(x, y, qGray(img.pixel(box.left() + x, box.top() + y)) < 128);
    return mask;
}

// The text's glyphs as the font draws them, black on white.
QImage Reference(const QFont& font, const QString& text) {
    QFontMetrics fm(font);
    QImage img(fm.horizontalAdvance(text) + 16, fm.height() + 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(8, 8 + fm.ascent(), text);
    p.end();
    return Ink(img, img.rect());
}

// A point of a control in the window's coordinates.
QPoint At(TForm1& form, Ctl c, QPoint p) {
    return form.control(c)->mapTo(&form, p);
}

class Look : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TForm1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }
    QWidget* w(Ctl c) { return form->control(c); }

    std::unique_ptr<TForm1> form;
};

TEST_F(Look, EntryBoxesAreDrawnAsTheLayoutDescribes) {
    for (Ctl c : {Ctl::RunnerBox1, Ctl::RunnerBox2, Ctl::RunnerBox3}) {
        SCOPED_TRACE(lesson::NameOf(c));
        auto* box = static_cast<ui::GroupBox*>(w(c));
        const QImage img = box->grab().toImage();
        const QFontMetrics fm(box->font());
        const QPalette& pal = box->palette();
        const QColor shadow = pal.color(QPalette::Dark), light = pal.color(QPalette::Light);
        // The frame's top edge at half the caption's text height, etched.
        const int top = fm.height() / 2;
        EXPECT_EQ(box->frameTop(), top);
        const int captionRight = ui::GroupBox::CaptionLeft + fm.horizontalAdvance(box->title());
        for (int x : {0, captionRight + 2, box->width() - 2})
            EXPECT_EQ(img.pixelColor(x, top), shadow) << x;
        for (int x : {captionRight + 2, box->width() - 3})
            EXPECT_EQ(img.pixelColor(x, top + 1), light) << x;
        EXPECT_EQ(img.pixelColor(box->width() - 1, top + 1), light);
        EXPECT_EQ(img.pixelColor(5, box->height() - 2), shadow);
        EXPECT_EQ(img.pixelColor(5, box->height() - 1), light);
        EXPECT_EQ(img.pixelColor(5, top - 1), WindowGreen);
        // The caption over the edge, from 8 pixels in, on the box's colour.
        const QColor red(255, 0, 0);
        QImage ref(captionRight + 8, fm.height(), QImage::Format_RGB32);
        ref.fill(WindowGreen);
        QPainter p(&ref);
        p.setFont(box->font());
        p.setPen(red);
        p.drawText(ui::GroupBox::CaptionLeft, fm.ascent(), box->title());
        p.end();
        for (int y = 0; y < fm.height(); ++y)
            for (int x = ui::GroupBox::CaptionLeft; x < captionRight; ++x)
                ASSERT_EQ(img.pixelColor(x, y), ref.pixelColor(x, y)) << x << "," << y;
        // Inside the frame, the window's colour: around the lists and under
        // the labels alike.
        const QRect inside(2, top + 2, box->width() - 4, box->height() - top - 4);
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x) {
                QWidget* child = box->childAt(x, y);
                if (y < fm.height() && x < captionRight)
                    continue; // the caption
                if (!child || qobject_cast<QLabel*>(child)) {
                    if (child && qGray(img.pixel(x, y)) < 200)
                        continue; // a label's glyph
                    ASSERT_EQ(img.pixelColor(x, y), WindowGreen) << x << "," << y;
                }
            }
    }
}

TEST_F(Look, EveryItemOfEveryListCanBeReadWhole) {
    form->toolkit().setVisible(Ctl::ComboBox7, true);
    form->toolkit().setVisible(Ctl::ComboBox8, true);
    w(Ctl::RedyGoBtn)->setFocus(); // no caret or selection in the fields
    const Ctl lists[] = {Ctl::ComboBox1, Ctl::ComboBox2, Ctl::ComboBox3, Ctl::ComboBox4,
                         Ctl::ComboBox5, Ctl::ComboBox6, Ctl::ComboBox7, Ctl::ComboBox8};
    for (Ctl c : lists) {
        SCOPED_TRACE(lesson::NameOf(c));
        ui::DropDownList* list = form->list(c);
        const QSize stored = list->size();
        const QFont font = list->font();
        const QFontMetrics fm(font);
        int widest = 0;
        for (int i = 1; i < list->count(); ++i)
            if (fm.horizontalAdvance(list->itemText(i)) >
                fm.horizontalAdvance(list->itemText(widest)))
                widest = i;
        const QString text = list->itemText(widest);
        const QImage expected = Reference(font, text);
        // In the field.
        form->toolkit().setItemIndex(c, widest);
        QApplication::processEvents();
        EXPECT_EQ(list->size(), stored);
        const QImage field = list->grab().toImage();
        EXPECT_EQ(Ink(field, list->lineEdit()->geometry()), expected) << text.toStdString();
        // In the dropped-down list, on a row that is not highlighted.
        form->toolkit().setItemIndex(c, 0);
        list->showPopup();
        QAbstractItemView* view = list->view();
        const QModelIndex row = list->model()->index(widest, 0);
        view->scrollTo(row);
        QApplication::processEvents();
        EXPECT_EQ(view->font(), font);
        EXPECT_GE(view->parentWidget()->width(), stored.width());
        const QImage dropped = view->viewport()->grab().toImage();
        EXPECT_EQ(Ink(dropped, view->visualRect(row)), expected) << text.toStdString();
        list->hidePopup();
    }
}

TEST(LookUnderADarkTheme, TheLayoutsColoursHold) {
    const QPalette before = QApplication::palette();
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    {
        TForm1 form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const QColor face(0xF0, 0xF0, 0xF0), white(Qt::white), black(Qt::black);
        struct Expect {
            Ctl ctl;
            QPalette::ColorRole role;
            QColor color;
        } table[] = {
            {Ctl::RedyGoBtn, QPalette::Button, face},
            {Ctl::RedyGoBtn, QPalette::ButtonText, black},
            {Ctl::RetryBitBtn, QPalette::Button, face},
            {Ctl::RetryBitBtn, QPalette::ButtonText, QColor(0, 0, 128)},
            {Ctl::OwaruBitBtn, QPalette::ButtonText, QColor(64, 0, 128)},
            {Ctl::ComboBox1, QPalette::Base, white},
            {Ctl::ComboBox1, QPalette::Text, black},
            {Ctl::Label1, QPalette::WindowText, black},
            {Ctl::Label1, QPalette::Window, WindowGreen},
            {Ctl::RunnerBox1, QPalette::WindowText, QColor(255, 0, 0)},
        };
        for (const auto& e : table)
            EXPECT_EQ(form.control(e.ctl)->palette().color(e.role), e.color)
                << lesson::NameOf(e.ctl) << " role " << e.role;
        // And on the screen: a list's field, a label's ground and the middle
        // of a button's face, away from its caption.
        const QImage img = form.grab().toImage();
        EXPECT_EQ(img.pixelColor(At(form, Ctl::ComboBox1, QPoint(20, 5))), white);
        EXPECT_EQ(img.pixelColor(At(form, Ctl::Label1, QPoint(1, 1))), WindowGreen);
        EXPECT_GT(qGray(img.pixel(At(form, Ctl::RedyGoBtn, QPoint(6, 28)))), 200);
        // The dropped-down list too.
        ui::DropDownList* list = form.list(Ctl::ComboBox2);
        list->showPopup();
        QApplication::processEvents();
        const QImage dropped = list->view()->viewport()->grab().toImage();
        EXPECT_EQ(dropped.pixelColor(dropped.width() - 3, dropped.height() - 2), white);
        list->hidePopup();
    }
    QApplication::setPalette(before);
}

TEST_F(Look, QtsOwnTextsAreJapanese) {
    std::unique_ptr<QMenu> menu(
        form->list(Ctl::ComboBox1)->lineEdit()->createStandardContextMenu());
    int texts = 0;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        // "元に戻す(&U)\tCtrl+Z": the words, without accelerator and shortcut.
        QString words = a->text().section('\t', 0, 0).remove(QRegularExpression("\\(&.\\)"));
        EXPECT_FALSE(words.contains(QRegularExpression("[A-Za-z]"))) << words.toStdString();
        ++texts;
    }
    EXPECT_GE(texts, 7);
}

} // namespace
