// What assistive technology is told: every control's name, and the texts the
// lesson draws on the surface, for the window and for each bar's row.
#include "ui_window.h"

#include <QAccessible>
#include <QLineEdit>

using lesson::Ctl;
using lesson::Event;
using uitest::Window;

namespace {

QString accessibleText(QWidget* w, QAccessible::Text what) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(what) : QString();
}

TEST_F(Window, EveryControlHasAnAccessibleName) {
    struct Named {
        Ctl ctl;
        const char* name;
    } named[] = {
        {Ctl::ComboBox1, "走者１の距離"},
        {Ctl::ComboBox2, "走者１の時間"},
        {Ctl::ComboBox6, "走者３の時間"},
        {Ctl::ComboBox7, "そろえるもの"},
        {Ctl::ComboBox8, "そろえる値"},
        {Ctl::RedyGoBtn, "よ～い、ドン！"},
        {Ctl::OwaruBitBtn, "お わ る"},
        {Ctl::RunnerShape2, "走者２のバー"},
        {Ctl::TrunShape3, "確かめる走者３のバー"},
        {Ctl::RunnerLbl1, "走 者 １"},
        {Ctl::JikanLbl, "かかった時間："},
    };
    for (const auto& n : named)
        EXPECT_EQ(accessibleText(w(n.ctl), QAccessible::Name), QString::fromUtf8(n.name))
            << lesson::NameOf(n.ctl);
    for (const auto& control : lesson::Layout()) {
        if (control.kind == lesson::Kind::Timer)
            continue;
        EXPECT_FALSE(accessibleText(w(control.id), QAccessible::Name).isEmpty()) << control.name;
    }
}

TEST_F(Window, AListKeepsItsNameAndAnswersThePickAsItsValue) {
    struct Pick {
        Ctl list;
        const char* typed; // typed by the user; nullptr: the program picks
        int index;
        const char* name;
        const char* value;
    } picks[] = {
        {Ctl::ComboBox1, "100", 0, "走者１の距離", "100"},
        {Ctl::ComboBox4, "20", 0, "走者２の時間", "20"},
        {Ctl::ComboBox7, nullptr, 2, "そろえるもの", "時間"},
        {Ctl::ComboBox8, nullptr, 1000, "そろえる値", "1000"},
    };
    for (const auto& p : picks) {
        if (p.typed)
            enter(p.list, p.typed);
        else
            form->toolkit().setItemIndex(p.list, p.index);
        QWidget* field = list(p.list)->lineEdit();
        EXPECT_EQ(accessibleText(w(p.list), QAccessible::Name).toStdString(), p.name);
        EXPECT_EQ(accessibleText(w(p.list), QAccessible::Value).toStdString(), p.value);
        EXPECT_EQ(accessibleText(field, QAccessible::Name).toStdString(), p.name);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w(p.list));
        ASSERT_EQ(iface->childCount(), 2);
        EXPECT_EQ(iface->child(1)->object(), field);
        EXPECT_EQ(iface->indexOfChild(iface->child(0)), 0);
        EXPECT_EQ(iface->child(1)->parent()->object(), w(p.list));
    }
    // A screen reader's "show menu" drops the list down and closes it again.
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(w(Ctl::ComboBox3))->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(list(Ctl::ComboBox3)->popupOpen());
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_FALSE(list(Ctl::ComboBox3)->popupOpen());
}

TEST_F(Window, ScreenReadersGetARoleForEveryKindOfControl) {
    using lesson::Kind;
    auto roleOf = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->role();
    };
    EXPECT_EQ(roleOf(form.get()), QAccessible::Window);
    for (const auto& control : lesson::Layout()) {
        QAccessible::Role expected;
        switch (control.kind) {
        case Kind::Label:
        case Kind::StaticText:
            expected = QAccessible::StaticText;
            break;
        case Kind::Shape:
            expected = QAccessible::Graphic;
            break;
        case Kind::GroupBox:
            expected = QAccessible::Grouping;
            break;
        case Kind::ComboBox:
            expected = QAccessible::ComboBox;
            break;
        case Kind::Button:
        case Kind::BitBtn:
            expected = QAccessible::Button;
            break;
        default:
            continue;
        }
        EXPECT_EQ(roleOf(w(control.id)), expected) << control.name;
    }
}

TEST_F(Window, DrawnResultsAreExposedAsAccessibleText) {
    auto description = [&](Ctl c) {
        return accessibleText(w(c), QAccessible::Description).toStdString();
    };
    auto pickSilently = [&](Ctl list, int index) {
        form->toolkit().setItemIndex(list, index);
        form->raise(list, Event::OnSelect);
    };
    pickSilently(Ctl::ComboBox1, 19); // 100 m
    pickSilently(Ctl::ComboBox2, 20); // 20 s
    pickSilently(Ctl::ComboBox3, 19);
    pickSilently(Ctl::ComboBox4, 12);
    EXPECT_EQ(description(Ctl::RunnerShape1), "100m");
    form->lesson().RedyGoBtnClick();
    form->toolkit().nativeTimer(Ctl::Timer1).stop();
    while (form->toolkit().timerEnabled(Ctl::Timer1))
        form->raise(Ctl::Timer1, Event::OnTimer);
    EXPECT_EQ(description(Ctl::RunnerShape1), "100m 20秒");
    EXPECT_EQ(description(Ctl::RunnerShape2), "100m 12秒");
    EXPECT_EQ(accessibleText(form.get(), QAccessible::Description).toStdString(),
              "100m、20秒、100m、12秒");
    EXPECT_EQ(accessibleText(w(Ctl::JikanLbl), QAccessible::Name).toStdString(), "経過時間20.00秒");

    form->lesson().TrialBitBtnClick();
    form->toolkit().setItemIndex(Ctl::ComboBox7, 2);
    pickSilently(Ctl::ComboBox8, 10);
    form->lesson().StartBitBtnClick();
    form->toolkit().nativeTimer(Ctl::Timer2).stop();
    while (form->toolkit().timerEnabled(Ctl::Timer2))
        form->raise(Ctl::Timer2, Event::OnTimer);
    EXPECT_EQ(description(Ctl::TrunShape1), "84m 50.00ｍ");
    EXPECT_EQ(description(Ctl::TrunShape2), "83.33ｍ");

    QTest::mouseClick(w(Ctl::RetryBitBtn), Qt::LeftButton);
    EXPECT_EQ(description(Ctl::RunnerShape1), "");
    EXPECT_EQ(description(Ctl::TrunShape1), "");
    EXPECT_EQ(accessibleText(form.get(), QAccessible::Description).toStdString(), "");
}

} // namespace
