#include "accessibility.h"

#include "drop_down_list.h"
#include "shape_widget.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>

namespace ui {

namespace {

constexpr const char* kRole = "accessibleRole";

// A drop-down list keeps its own name, which says what is chosen in it, and
// answers the item shown in its field as its value. (Qt's own list answers
// the shown item as its name on Linux, so a screen reader could not tell the
// distance of a runner from its time once an item is picked.) Its parts are
// the dropped-down rows and the typing field, as in Qt's own list.
class ListAccessible : public QAccessibleWidget {
  public:
    explicit ListAccessible(DropDownList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return list()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->lineEdit())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        if (child->object() == list()->view())
            return 0;
        if (child->object() && child->object() == list()->lineEdit())
            return 1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QLineEdit* field = list()->lineEdit();
        if (!field)
            return nullptr;
        QRect onScreen(field->mapToGlobal(QPoint(0, 0)), field->size());
        return onScreen.contains(x, y) ? child(1) : nullptr;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction())
            return;
        // Either way through the list's model, which raises the close-up.
        if (list()->popupOpen())
            list()->hidePopup();
        else
            list()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    DropDownList* list() const { return static_cast<DropDownList*>(widget()); }
};

// An object that says things as they happen (arrivals, results, the end of
// a run): its text is the last announcement, and each new one reaches
// screen readers as inserted text, which carries the words themselves.
class StatusAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit StatusAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::StatusBar) {}
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                               : QAccessibleWidget::interface_cast(t);
    }
    QString said() const { return widget()->accessibleName(); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return said().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(said().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

QAccessibleInterface* controlAccessible(const QString&, QObject* object) {
    if (auto* list = qobject_cast<DropDownList*>(object))
        return new ListAccessible(list);
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* w = static_cast<QWidget*>(object);
    const QVariant declared = w->property(kRole);
    if (declared.isValid() && declared.toInt() == QAccessible::StatusBar)
        return new StatusAccessible(w);
    if (declared.isValid())
        return new QAccessibleWidget(w, static_cast<QAccessible::Role>(declared.toInt()));
    // A runner's bar is a picture; its description tells what is drawn by it.
    if (dynamic_cast<ShapeWidget*>(w))
        return new QAccessibleWidget(w, QAccessible::Graphic);
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(controlAccessible);
}

void DeclareRole(QWidget* widget, QAccessible::Role role) {
    widget->setProperty(kRole, static_cast<int>(role));
}

void NameForScreenReaders(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
    if (auto* list = qobject_cast<DropDownList*>(control))
        if (QLineEdit* field = list->lineEdit())
            field->setAccessibleName(name);
}

} // namespace ui
