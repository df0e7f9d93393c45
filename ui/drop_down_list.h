// A drop-down list on the desktop: Qt's editable combo box as a view of the
// list's model. It shows the model's text, selection, caret, dropped-down
// state and highlighted row, and hands every key, pick, press on its arrow,
// wheel turn and focus change to the toolkit, which applies the list's rules
// and raises the events.
#pragma once

#include "base_toolkit.h"

#include <QComboBox>

#include <string>
#include <vector>

namespace ui {

using lesson::Ctl;

class DropDownList : public QComboBox {
    Q_OBJECT
  public:
    DropDownList(Ctl id, interaction::BaseToolkit& input, QWidget* parent);

    Ctl id() const { return id_; }
    void setItems(const std::vector<std::string>& items);
    // Shows the model as it stands now.
    void render(const interaction::ListModel& model);

    bool popupOpen() const { return popupOpen_; }
    // The arrow button takes what the widest item leaves of the field, up to
    // the width of a scroll bar: every item stays whole in the stored size.
    int arrowWidth() const { return arrowWidth_; }
    // The dropped-down list is at least as wide as its widest item needs.
    int popupWidth() const { return popupWidth_; }
    // Raises nothing from now on: the window that handles the events is going.
    void detach() { detached_ = true; }

    // Qt's own ways to drop the list down (its arrow, a screen reader's
    // action) ask the model, which says whether it opens.
    void showPopup() override;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // Returns whether the list took the key.
    bool key(QKeyEvent* e);
    void measureItems();
    void reportCaret();
    bool active() const { return !detached_ && !rendering_; }

    Ctl id_;
    interaction::BaseToolkit& input_;
    bool detached_ = false;
    bool rendering_ = false;
    bool popupOpen_ = false;
    int arrowWidth_ = interaction::ListGeometry::MaxArrowWidth;
    int popupWidth_ = 0;
    QFont measuredFor_;
    int measuredCount_ = -1;
    int widest_ = 0;
};

} // namespace ui
