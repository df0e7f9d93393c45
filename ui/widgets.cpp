#include "widgets.h"

#include <QAbstractItemView>
#include <QPaintEngine>
#include <QStyle>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QResizeEvent>
#include <QTextLayout>
#include <QtMath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace ui {

QColor toQColor(Color c) {
    return QColor(lesson::colorRed(c), lesson::colorGreen(c), lesson::colorBlue(c));
}

// ---- DropDownList ----

DropDownList::DropDownList(Ctl id, RaiseFn raise, QWidget* parent)
    : QComboBox(parent), id_(id), raise_(std::move(raise)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(8);
    // The field's text starts right at its edit area, which the style places.
    lineEdit()->setTextMargins(-2, 0, -2, 0);
    view()->setTextElideMode(Qt::ElideNone);
    // QComboBox would make a matching item current when editing finishes (focus
    // loss, Enter). The list's current item changes only by a pick or typing.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    view()->installEventFilter(this);
    // However the open list closes (a pick, Escape, a click elsewhere), its
    // container hides: that is the list's close-up.
    view()->parentWidget()->installEventFilter(this);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
        if (silent_)
            return;
        raise_(id_, Event::OnClick);
        raise_(id_, Event::OnSelect);
    });
}

void DropDownList::setItems(const std::vector<std::string>& items) {
    bool was = silent_;
    silent_ = true;
    clear();
    for (const auto& item : items)
        addItem(QString::fromStdString(item));
    setCurrentIndex(-1); // no item is current until the program makes one so
    silent_ = was;
    measureItems();
}

void DropDownList::measureItems() {
    QFontMetrics fm(font());
    widestItem_ = 0;
    for (int i = 0; i < count(); ++i)
        widestItem_ = qMax(widestItem_, fm.horizontalAdvance(itemText(i)));
    // The field needs the text and one pixel for the caret.
    const int room = width() - FieldInset - 1 - (widestItem_ + 1);
    arrowWidth_ = qBound(MinArrowWidth, room, MaxArrowWidth);
    // A row's text margins, the list's frame and its scroll bar.
    QStyle* s = view()->style();
    const int textMargin = s->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 1;
    popupWidth_ = widestItem_ + 2 * textMargin + 2 * view()->frameWidth() + 4 +
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

void DropDownList::setIndexSilently(int index) {
    bool was = silent_;
    silent_ = true;
    setCurrentIndex(index);
    silent_ = was;
}

void DropDownList::userSelect(int index) {
    if (popupOpen_)
        view()->setCurrentIndex(model()->index(index, modelColumn()));
    if (index == currentIndex())
        return;
    setIndexSilently(index);
    raise_(id_, Event::OnClick);
    raise_(id_, Event::OnSelect);
}

int DropDownList::findPrefix(const QString& prefix) const {
    for (int i = 0; i < count(); ++i)
        if (itemText(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

void DropDownList::typeText(const QString& text) {
    if (!popupOpen_)
        showPopup();
    for (QChar ch : text) {
        QLineEdit* le = lineEdit();
        QString before = le->hasSelectedText() ? le->text().left(le->selectionStart()) : le->text();
        QString prefix = before + ch;
        int k = findPrefix(prefix);
        if (k < 0) {
            le->insert(QString(ch));
            continue;
        }
        int old = currentIndex();
        setIndexSilently(k);
        if (popupOpen_)
            view()->setCurrentIndex(model()->index(k, modelColumn()));
        QString item = itemText(k);
        le->setText(prefix + item.mid(prefix.size()));
        le->setSelection(le->text().size(), prefix.size() - le->text().size());
        if (k != old) {
            raise_(id_, Event::OnClick);
            raise_(id_, Event::OnSelect);
        }
    }
}

void DropDownList::typeBackspace() {
    QLineEdit* le = lineEdit();
    if (le->text().isEmpty())
        return;
    le->backspace();
    QString text = le->text();
    int cursor = le->cursorPosition();
    setIndexSilently(-1); // clears the field, so the edited text is put back
    le->setText(text);
    le->setCursorPosition(cursor);
    if (popupOpen_)
        view()->setCurrentIndex(QModelIndex());
}

bool DropDownList::handleKey(QKeyEvent* e) {
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = e->key();
    auto togglePopup = [this] {
        if (popupOpen_)
            hidePopup();
        else
            showPopup();
    };
    // The row a move starts from: the highlighted one while the list is
    // dropped down (the mouse may have moved it), else the current item.
    auto from = [this] {
        QModelIndex highlighted = view()->currentIndex();
        return popupOpen_ && highlighted.isValid() ? highlighted.row() : currentIndex();
    };
    switch (key) {
    case Qt::Key_Backspace:
        typeBackspace();
        return true;
    case Qt::Key_Escape:
        return false;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!popupOpen_)
            return false;
        // Tab closes the list and moves on, as it does from a closed list.
        hidePopup();
        focusNextPrevChild(key == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier));
        return true;
    case Qt::Key_F4:
        togglePopup();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (mods == Qt::AltModifier && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            togglePopup();
            return true;
        }
        if (mods)
            return true; // no other modified move changes the item
        int page = maxVisibleItems() - 1;
        int step = key == Qt::Key_Up       ? -1
                   : key == Qt::Key_Down   ? 1
                   : key == Qt::Key_PageUp ? -page
                                           : page;
        int start = from();
        userSelect(start < 0 ? 0 : qBound(0, start + step, count() - 1));
        return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!popupOpen_ || mods)
            return false; // in the field they move the caret
        userSelect(key == Qt::Key_Home ? 0 : count() - 1);
        return true;
    default:
        break;
    }
    const QString text = e->text();
    if (!mods && !text.isEmpty() && text.at(0).isPrint()) {
        typeText(text);
        return true;
    }
    return false;
}

void DropDownList::wheelEvent(QWheelEvent* e) {
    // The wheel goes to the control with the keyboard focus: turning it over
    // another list must not change that list's entry.
    if (!hasFocus()) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

void DropDownList::detach() {
    raise_ = [](Ctl, Event) {};
}

void DropDownList::keyPressEvent(QKeyEvent* e) {
    if (!handleKey(e))
        QComboBox::keyPressEvent(e);
}

bool DropDownList::eventFilter(QObject* watched, QEvent* e) {
    // The open list holds the keyboard: typing goes on working there.
    if (watched == view() && e->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(e)))
        return true;
    if (watched == view()->parentWidget() && e->type() == QEvent::Hide && popupOpen_) {
        popupOpen_ = false;
        raise_(id_, Event::OnCloseUp);
    }
    return QComboBox::eventFilter(watched, e);
}

void DropDownList::showPopup() {
    popupOpen_ = true;
    QComboBox::showPopup();
}

// ---- ShapeWidget ----

ShapeWidget::ShapeWidget(Color pen, QWidget* parent) : QWidget(parent), pen_(pen) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A bar grows a few pixels on every race tick: only what it gains is
    // repainted, not the whole bar (see resizeEvent for its right edge).
    setAttribute(Qt::WA_StaticContents);
}

void ShapeWidget::resizeEvent(QResizeEvent* e) {
    QSize old = e->oldSize();
    if (old.height() != height()) {
        update();
        return;
    }
    // The right outline moves: the column where it stood turns to fill when
    // the bar grows, and the column where it now stands when it shrinks.
    int edge = std::min(old.width(), width()) - 1;
    if (edge >= 0 && parentWidget())
        parentWidget()->update(x() + edge, y(), 1, height());
}

void ShapeWidget::setBrushColor(Color c) {
    if (brush_ == c)
        return;
    brush_ = c;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    paint(p);
}

void ShapeWidget::paint(QPainter& p) const {
    if (width() <= 0 || height() <= 0)
        return;
    p.fillRect(rect(), toQColor(pen_));
    if (width() > 2 && height() > 2)
        p.fillRect(rect().adjusted(1, 1, -1, -1), toQColor(brush_));
}

// ---- PushButton ----

void PushButton::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        click();
        return;
    }
    QPushButton::keyPressEvent(e);
}

// ---- AutoSizeLabel ----

void AutoSizeLabel::setCaption(const QString& text) {
    // Only this label sizes itself, so its size is held fixed: a label whose
    // size may follow its text asks the window for a new layout with every
    // new caption, and on a race tick that request would wake the event loop
    // a second time.
    if (minimumSize() != size() || maximumSize() != size())
        setFixedSize(size());
    setText(text);
    if (placeFromCache(text)) {
        shaped_.reset();
        setFixedSize(qRound(placedX_.back()), height());
        return;
    }
    // Shaped once: the width comes from the line, and the label draws the
    // same line's glyphs.
    shaped_ = std::make_unique<QTextLayout>(text, font());
    shaped_->setCacheEnabled(true);
    shaped_->beginLayout();
    QTextLine line = shaped_->createLine();
    shaped_->endLayout();
    setFixedSize(qRound(line.horizontalAdvance()), height());
}

bool AutoSizeLabel::placeFromCache(const QString& t) {
    placedText_.clear();
    const QFont f = font();
    if (!(f == glyphFont_)) {
        glyphFont_ = f;
        glyphs_.clear();
        baseline_ = -1;
        rawFont_ = QRawFont::fromFont(f);
        // Kerning or positioning tables would move a glyph by its neighbours.
        cacheUsable_ = rawFont_.isValid() && rawFont_.fontTable("kern").isEmpty() &&
                       rawFont_.fontTable("GPOS").isEmpty();
    }
    if (!cacheUsable_)
        return false;
    QVector<quint32> indexes;
    QVector<QPointF> positions;
    std::vector<qreal> x;
    indexes.reserve(t.size());
    positions.reserve(t.size());
    x.reserve(t.size() + 1);
    qreal pen = 0;
    for (QChar c : t) {
        switch (c.category()) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
            return false;
        default:
            break;
        }
        // Letters of these scripts never join, reorder or form ligatures
        // with their neighbours (Latin letters may: "fi").
        const QChar::Script script = c.script();
        if (script != QChar::Script_Common && script != QChar::Script_Han &&
            script != QChar::Script_Hiragana && script != QChar::Script_Katakana)
            return false;
        auto g = glyphs_.constFind(c.unicode());
        if (g == glyphs_.cend()) {
            // Shaped alone, as the text engine shapes it: the glyph must
            // come from the label's own font (no fallback) and stand at the
            // pen, on the same baseline as the others.
            QTextLayout one(QString(c), f);
            one.beginLayout();
            QTextLine line = one.createLine();
            one.endLayout();
            const QList<QGlyphRun> runs = one.glyphRuns();
            if (runs.size() != 1 || runs[0].glyphIndexes().size() != 1 ||
                !(runs[0].rawFont() == rawFont_) || runs[0].positions()[0].x() != 0 ||
                (baseline_ >= 0 && runs[0].positions()[0].y() != baseline_))
                return false;
            baseline_ = runs[0].positions()[0].y();
            g = glyphs_.insert(c.unicode(),
                               Glyph{runs[0].glyphIndexes()[0], line.horizontalAdvance()});
        }
        indexes.append(g->index);
        positions.append(QPointF(pen, baseline_));
        x.push_back(pen);
        pen += g->advance;
    }
    x.push_back(pen);
    placed_ = QGlyphRun();
    placed_.setRawFont(rawFont_);
    placed_.setGlyphIndexes(indexes);
    placed_.setPositions(positions);
    placedX_ = std::move(x);
    placedText_ = t;
    placedFont_ = f;
    return true;
}

bool AutoSizeLabel::placedFromCache() const {
    return !placedX_.empty() && placedText_ == text() && placedFont_ == font();
}

bool AutoSizeLabel::shapedFor(const QString& t) const {
    return shaped_ && shaped_->text() == t && shaped_->font() == font() &&
           shaped_->lineCount() == 1 && !t.contains(QLatin1Char('\n'));
}

void AutoSizeLabel::paintEvent(QPaintEvent* e) {
    {
        // The image stands for the label only where it is drawn onto an image.
        QPainter p(this);
        QPaintDevice* target = p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr;
        if (target && target->devType() == QInternal::Image &&
            refreshImage(static_cast<QImage*>(target)->format()) >= 0) {
            p.drawImage(QPoint(0, 0), drawn_);
            return;
        }
    }
    drawn_ = QImage();
    QLabel::paintEvent(e);
}

int AutoSizeLabel::refreshImage(QImage::Format format) {
    // Only where the image can hold exactly what QLabel would draw: plain
    // text on a solid background, at a pixel ratio of 1 (at a scaled
    // display the style draws bold captions as outlines, which the cached
    // glyphs would not).
    const QString t = text();
    const QBrush background = palette().brush(backgroundRole());
    const qreal dpr = devicePixelRatioF();
    if (!autoFillBackground() || background.style() != Qt::SolidPattern || !isEnabled() ||
        !pixmap().isNull() || textFormat() == Qt::RichText ||
        (textFormat() == Qt::AutoText && Qt::mightBeRichText(t)) || frameWidth() != 0 ||
        margin() != 0 || indent() > 0 || buddy() || font().pixelSize() <= 0 || dpr != 1.0)
        return -1;
    Look look{size(),
              dpr,
              format,
              font(),
              background.color(),
              palette().color(foregroundRole()),
              static_cast<int>(alignment())};
    // From here on the pixels differ from what is drawn: the whole image
    // when the look changed, else from the character before the first
    // changed one (which also covers a glyph reaching into its neighbour).
    int from = 0;
    if (!drawn_.isNull() && look.size.height() == drawnLook_.size.height()) {
        Look same = look;
        same.size = drawnLook_.size;
        if (same == drawnLook_ && (alignment() & Qt::AlignLeft) && !t.isRightToLeft()) {
            int k = 0;
            while (k < t.size() && k < drawnText_.size() && t[k] == drawnText_[k])
                ++k;
            if (k == t.size() && k == drawnText_.size())
                from = std::min(width(), drawnLook_.size.width());
            else if (k > 1 && placedFromCache())
                from = std::max(0, qFloor(placedX_[k - 1]) - 1);
            else if (k > 1 && shapedFor(t))
                from = std::max(0, qFloor(shaped_->lineAt(0).cursorToX(k - 1)) - 1);
            from = std::min({from, width(), drawnLook_.size.width()});
        }
    }
    if (from == 0 || look.size != drawnLook_.size) {
        QImage next(look.size * dpr, QImage::Format(look.format));
        next.setDevicePixelRatio(dpr);
        if (from > 0) {
            QPainter copy(&next);
            copy.setCompositionMode(QPainter::CompositionMode_Source);
            copy.drawImage(QPoint(0, 0), drawn_);
        }
        drawn_ = next;
    }
    const bool redraw = from < width() || drawnText_ != t;
    if (redraw) {
        QPainter d(&drawn_);
        QRect changed(from, 0, width() - from, height());
        d.fillRect(changed, background);
        d.setClipRect(changed);
        d.setFont(font());
        // As QLabel draws a plain caption of a label without a buddy.
        Qt::LayoutDirection direction = t.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        int flags =
            QStyle::visualAlignment(direction, alignment()) |
            (direction == Qt::RightToLeft ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight);
        const bool plain =
            alignment() == (Qt::AlignLeft | Qt::AlignTop) && direction == Qt::LeftToRight;
        if (plain && placedFromCache()) {
            d.setPen(palette().color(foregroundRole()));
            d.drawGlyphRun(QPointF(0, 0), placed_);
        } else if (plain && shapedFor(t)) {
            // The glyphs of the line shaped for the width, where QLabel puts them.
            d.setPen(palette().color(foregroundRole()));
            shaped_->draw(&d, QPointF(0, 0));
        } else {
            style()->drawItemText(&d, contentsRect(), flags, palette(), true, t, foregroundRole());
        }
    }
    drawnText_ = t;
    drawnLook_ = look;
    return redraw ? from : width();
}

// ---- TimerControl ----

TimerControl::TimerControl(Ctl id, RaiseFn raise, QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [id, raise] { raise(id, Event::OnTimer); });
}

void TimerControl::start() {
    timer_.start(interval_);
    if (!timer_.isActive()) {
        enabled_ = false;
        throw std::runtime_error("タイマーを取得できません");
    }
}

void TimerControl::setInterval(int ms) {
    if (ms == interval_)
        return;
    interval_ = ms;
    if (enabled_)
        start(); // the first tick comes one new interval from now
}

void TimerControl::setEnabled(bool on) {
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on)
        start();
    else
        timer_.stop();
}

} // namespace ui
