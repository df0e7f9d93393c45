#include "drop_down_list.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QWheelEvent>

namespace ui {

using interaction::Key;
using interaction::ListGeometry;

namespace {

Key keyOf(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Backspace:
        return Key::Backspace;
    case Qt::Key_Delete:
        return Key::Delete;
    case Qt::Key_Escape:
        return Key::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Key::Tab;
    case Qt::Key_F4:
        return Key::F4;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_PageUp:
        return Key::PageUp;
    case Qt::Key_PageDown:
        return Key::PageDown;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_End:
        return Key::End;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Right:
        return Key::Right;
    default:
        break;
    }
    if (e->matches(QKeySequence::SelectAll))
        return Key::SelectAll;
    const QString t = e->text();
    return t.size() == 1 && t.at(0).isPrint() ? Key::Character : Key::Other;
}

} // namespace

DropDownList::DropDownList(Ctl id, interaction::BaseToolkit& input, QWidget* parent)
    : QComboBox(parent), id_(id), input_(input) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(interaction::ListModel::VisibleRows);
    // The field's text starts right at its edit area, which the style places.
    lineEdit()->setTextMargins(-2, 0, -2, 0);
    view()->setTextElideMode(Qt::ElideNone);
    // QComboBox would make a matching item current when editing finishes
    // (focus loss, Enter): the current item changes only as the model says.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    // Installed after the popup's own filters, so seen first: the open list
    // holds the keyboard and the pointer, and the model decides.
    view()->installEventFilter(this);
    view()->viewport()->installEventFilter(this);
    // However the open list closes (Escape, a press elsewhere, another
    // window), its container hides: that is the list's close-up.
    view()->parentWidget()->installEventFilter(this);
    // The field's own editing (its context menu) and a caret placed or a
    // selection made with the pointer reach the model.
    connect(lineEdit(), &QLineEdit::cursorPositionChanged, this, [this] { reportCaret(); });
    connect(lineEdit(), &QLineEdit::selectionChanged, this, [this] { reportCaret(); });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (active())
            input_.listEdited(id_, text.toStdU32String(), lineEdit()->cursorPosition());
    });
}

void DropDownList::setItems(const std::vector<std::string>& items) {
    rendering_ = true;
    clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const auto& item : items)
        texts << QString::fromStdString(item);
    // In one insertion: a thousand items one by one took milliseconds of
    // the window's start.
    addItems(texts);
    setCurrentIndex(-1);
    rendering_ = false;
    measureItems();
}

void DropDownList::render(const interaction::ListModel& m) {
    rendering_ = true;
    if (currentIndex() != m.index())
        setCurrentIndex(m.index());
    QLineEdit* le = lineEdit();
    const QString text = QString::fromStdString(m.text());
    if (le->text() != text)
        le->setText(text);
    // From the anchor to the caret, which may stand at the selection's start.
    const int anchor = m.caret() == m.selectionStart() ? m.selectionEnd() : m.selectionStart();
    if (m.hasSelection())
        le->setSelection(anchor, m.caret() - anchor);
    else
        le->setCursorPosition(m.caret());
    if (m.isOpen() && !popupOpen_) {
        popupOpen_ = true;
        QComboBox::showPopup();
    } else if (!m.isOpen() && popupOpen_) {
        popupOpen_ = false;
        QComboBox::hidePopup();
    }
    if (popupOpen_) {
        const QModelIndex row = model()->index(m.highlight(), modelColumn());
        view()->setCurrentIndex(row);
        if (row.isValid())
            view()->scrollTo(row);
    }
    rendering_ = false;
}

void DropDownList::reportCaret() {
    if (!active())
        return;
    QLineEdit* le = lineEdit();
    const int caret = le->cursorPosition();
    int anchor = caret;
    if (le->hasSelectedText()) {
        const int start = le->selectionStart(), end = start + le->selectedText().size();
        anchor = caret == start ? end : start;
    }
    input_.listSelect(id_, anchor, caret);
}

void DropDownList::showPopup() {
    if (rendering_) {
        QComboBox::showPopup();
        return;
    }
    if (!detached_ && !input_.list(id_).isOpen())
        input_.listToggle(id_);
}

void DropDownList::measureItems() {
    // The widest item is measured again only for new items or a new font;
    // a new size only moves the arrow.
    if (measuredFor_ != font() || measuredCount_ != count()) {
        QFontMetrics fm(font());
        widest_ = 0;
        for (int i = 0; i < count(); ++i)
            widest_ = qMax(widest_, fm.horizontalAdvance(itemText(i)));
        measuredFor_ = font();
        measuredCount_ = count();
    }
    const int widest = widest_;
    arrowWidth_ = ListGeometry::For(width(), widest).arrowWidth;
    // A row's text margins, the list's frame and its scroll bar.
    QStyle* s = view()->style();
    const int textMargin = s->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 1;
    popupWidth_ = widest + 2 * textMargin + 2 * view()->frameWidth() + 4 +
                  s->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view());
    updateGeometry();
    update();
}

void DropDownList::changeEvent(QEvent* e) {
    QComboBox::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
        measureItems();
}

void DropDownList::resizeEvent(QResizeEvent* e) {
    measureItems(); // the arrow's width depends on the field's
    QComboBox::resizeEvent(e);
}

bool DropDownList::key(QKeyEvent* e) {
    if (detached_)
        return false;
    interaction::Modifiers m;
    m.shift = e->modifiers() & Qt::ShiftModifier;
    m.ctrl = e->modifiers() & Qt::ControlModifier;
    m.alt = e->modifiers() & Qt::AltModifier;
    m.meta = e->modifiers() & Qt::MetaModifier;
    const Key k = keyOf(e);
    if (k == Key::SelectAll)
        m.ctrl = m.meta = false;
    const bool wasOpen = popupOpen_;
    const QString t = e->text();
    const bool handled =
        input_.listKey(id_, k, m, k == Key::Character ? t.toStdU32String()[0] : U'\0');
    // Tab closes an open list and moves on, as it does from a closed one.
    if (k == Key::Tab && wasOpen) {
        focusNextPrevChild(e->key() == Qt::Key_Tab && !m.shift);
        return true;
    }
    return handled;
}

void DropDownList::keyPressEvent(QKeyEvent* e) {
    // A key the list leaves alone goes to the field (copying, for one); what
    // the field changes, it reports back.
    if (!key(e))
        QComboBox::keyPressEvent(e);
}

void DropDownList::focusInEvent(QFocusEvent* e) {
    // Arriving by the keyboard selects the field's text.
    if (!detached_)
        input_.focusMoved(id_, e->reason() == Qt::TabFocusReason ||
                                   e->reason() == Qt::BacktabFocusReason);
    QComboBox::focusInEvent(e);
}

void DropDownList::inputMethodEvent(QInputMethodEvent* e) {
    // Text an input method commits is typed, character by character.
    if (active() && e->preeditString().isEmpty() && !e->commitString().isEmpty()) {
        input_.listType(id_, e->commitString().toStdU32String());
        e->accept();
        return;
    }
    QComboBox::inputMethodEvent(e);
}

void DropDownList::wheelEvent(QWheelEvent* e) {
    // Only the list with the keyboard focus takes the wheel; over another
    // list it must not change that list's entry.
    if (!detached_ && input_.listWheel(id_, -e->angleDelta().y() / 120.0))
        e->accept();
    else
        e->ignore();
}

bool DropDownList::eventFilter(QObject* watched, QEvent* e) {
    QWidget* container = view()->parentWidget();
    switch (e->type()) {
    case QEvent::KeyPress:
        if (watched == view() && key(static_cast<QKeyEvent*>(e)))
            return true;
        break;
    case QEvent::MouseMove:
        if (watched == view()->viewport() && active() && popupOpen_) {
            const QModelIndex row = view()->indexAt(static_cast<QMouseEvent*>(e)->pos());
            if (row.isValid())
                input_.listHover(id_, row.row());
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == view()->viewport() && active() && popupOpen_) {
            const QModelIndex row = view()->indexAt(static_cast<QMouseEvent*>(e)->pos());
            if (row.isValid()) {
                input_.listPick(id_, row.row());
                return true;
            }
        }
        break;
    case QEvent::Hide:
        if (watched == container && popupOpen_ && !rendering_) {
            popupOpen_ = false;
            if (!detached_)
                input_.listClosed(id_);
        }
        break;
    default:
        break;
    }
    return QComboBox::eventFilter(watched, e);
}

} // namespace ui
