#include "caption_image.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

namespace ui {

bool CaptionImage::enabled = true;

int CaptionImage::measure(const QString& text, const QFont& font) {
    if (enabled && placeFromCache(text, font)) {
        shaped_.reset();
        return qRound(placedX_.back());
    }
    placedText_.clear();
    // Shaped once: the width comes from the line, and the image draws the
    // same line's glyphs.
    shaped_ = std::make_unique<QTextLayout>(text, font);
    shaped_->setCacheEnabled(true);
    shaped_->beginLayout();
    QTextLine line = shaped_->createLine();
    shaped_->endLayout();
    return qRound(line.horizontalAdvance());
}

bool CaptionImage::placeFromCache(const QString& t, const QFont& f) {
    placedText_.clear();
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

bool CaptionImage::placedFromCache(const QString& text, const QFont& font) const {
    return !placedX_.empty() && !placedText_.isNull() && placedText_ == text && placedFont_ == font;
}

bool CaptionImage::shapedFor(const QString& t, const QFont& f) const {
    return shaped_ && shaped_->text() == t && shaped_->font() == f && shaped_->lineCount() == 1 &&
           !t.contains(QLatin1Char('\n'));
}

int CaptionImage::refresh(const QLabel& label, int format) {
    // Only where the image can hold exactly what QLabel would draw: plain
    // text on a solid background, at a pixel ratio of 1 (at a scaled
    // display the style draws bold captions as outlines, which the cached
    // glyphs would not).
    const QString t = label.text();
    const QFont font = label.font();
    const QBrush background = label.palette().brush(label.backgroundRole());
    const qreal dpr = label.devicePixelRatioF();
    if (!enabled || !label.autoFillBackground() || background.style() != Qt::SolidPattern ||
        !label.isEnabled() || !label.pixmap().isNull() || label.textFormat() == Qt::RichText ||
        (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(t)) || label.frameWidth() != 0 ||
        label.margin() != 0 || label.indent() > 0 || label.buddy() || font.pixelSize() <= 0 ||
        dpr != 1.0)
        return -1;
    const int width = label.width(), height = label.height();
    const Qt::Alignment alignment = label.alignment();
    Look look{label.size(),
              dpr,
              format,
              font,
              background.color(),
              label.palette().color(label.foregroundRole()),
              static_cast<int>(alignment)};
    // From here on the pixels differ from what is drawn: the whole image
    // when the look changed, else from the character before the first
    // changed one (which also covers a glyph reaching into its neighbour).
    int from = 0;
    if (!drawn_.isNull() && look.size.height() == drawnLook_.size.height()) {
        Look same = look;
        same.size = drawnLook_.size;
        if (same == drawnLook_ && (alignment & Qt::AlignLeft) && !t.isRightToLeft()) {
            int k = 0;
            while (k < t.size() && k < drawnText_.size() && t[k] == drawnText_[k])
                ++k;
            if (k == t.size() && k == drawnText_.size())
                from = std::min(width, drawnLook_.size.width());
            else if (k > 1 && placedFromCache(t, font))
                from = std::max(0, qFloor(placedX_[k - 1]) - 1);
            else if (k > 1 && shapedFor(t, font))
                from = std::max(0, qFloor(shaped_->lineAt(0).cursorToX(k - 1)) - 1);
            from = std::min({from, width, drawnLook_.size.width()});
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
    const bool redraw = from < width || drawnText_ != t;
    if (redraw) {
        QPainter d(&drawn_);
        QRect changed(from, 0, width - from, height);
        d.fillRect(changed, background);
        d.setClipRect(changed);
        d.setFont(font);
        // As QLabel draws a plain caption of a label without a buddy.
        Qt::LayoutDirection direction = t.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
        int flags =
            QStyle::visualAlignment(direction, alignment) |
            (direction == Qt::RightToLeft ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight);
        const bool plain =
            alignment == (Qt::AlignLeft | Qt::AlignTop) && direction == Qt::LeftToRight;
        if (plain && placedFromCache(t, font)) {
            d.setPen(label.palette().color(label.foregroundRole()));
            d.drawGlyphRun(QPointF(0, 0), placed_);
        } else if (plain && shapedFor(t, font)) {
            // The glyphs of the line shaped for the width, where QLabel puts them.
            d.setPen(label.palette().color(label.foregroundRole()));
            shaped_->draw(&d, QPointF(0, 0));
        } else {
            label.style()->drawItemText(&d, label.contentsRect(), flags, label.palette(), true, t,
                                        label.foregroundRole());
        }
    }
    drawnText_ = t;
    drawnLook_ = look;
    return redraw ? from : width;
}

} // namespace ui
