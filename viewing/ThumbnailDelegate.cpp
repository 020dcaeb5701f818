// Painting a sheet cell and wrapping its label.
#include "ThumbnailDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QWidget>

namespace pixdock {

namespace {
constexpr int CellMargin = 12; // around the picture, split on both sides
constexpr int LabelGap = 4;    // between the picture and its label
} // namespace

QStringList wrappedLabel(const QString &text, const QFont &font, int width, int maxLines)
{
    QStringList lines;
    if (text.isEmpty() || width <= 0 || maxLines <= 0)
        return lines;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qsizetype rest = -1;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            rest = line.textStart();
            break;
        }
        lines.append(text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    if (rest >= 0) {
        const QString tail = text.mid(rest);
        lines.append(QFontMetrics(font).elidedText(tail, Qt::ElideRight, width));
    }
    for (QString &line : lines) {
        // A line broken between words keeps its blank at the end; it takes no room.
        while (line.endsWith(QLatin1Char(' ')) && line.size() > 1)
            line.chop(1);
    }
    return lines;
}

ThumbnailDelegate::ThumbnailDelegate(QSize picture, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_picture(picture)
{
}

QSize ThumbnailDelegate::cellSize(const QFont &font) const
{
    const QFontMetrics metrics(font);
    return {m_picture.width() + CellMargin, m_picture.height() + CellMargin + LabelGap
                                                 + LabelLines * metrics.lineSpacing()};
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return cellSize(option.font);
}

void ThumbnailDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const bool focused = opt.widget && opt.widget->hasFocus();
    const bool selected = (opt.state & QStyle::State_Selected) && focused;

    painter->save();
    const QRect cell = opt.rect;
    const QRect pictureRect(cell.x() + (cell.width() - m_picture.width()) / 2, cell.y() + CellMargin / 2,
                            m_picture.width(), m_picture.height());
    const QFontMetrics metrics(opt.font);
    const int labelWidth = cell.width() - 4;
    const QStringList lines = wrappedLabel(opt.text, opt.font, labelWidth);
    const int labelTop = pictureRect.bottom() + 1 + LabelGap;

    if (selected) {
        int widest = 0;
        for (const QString &line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const QRect labelArea(cell.x() + (cell.width() - widest) / 2 - 2, labelTop, widest + 4,
                              int(lines.size()) * metrics.lineSpacing());
        painter->fillRect(labelArea, opt.palette.brush(QPalette::Highlight));
        painter->fillRect(pictureRect.adjusted(-2, -2, 2, 2), opt.palette.brush(QPalette::Highlight));
    }

    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    if (image.isNull()) {
        painter->setPen(opt.palette.color(QPalette::Mid));
        painter->drawRect(pictureRect.adjusted(0, 0, -1, -1));
    } else {
        painter->drawImage(pictureRect, image);
    }

    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRect line(cell.x(), labelTop + int(i) * metrics.lineSpacing(), cell.width(), metrics.lineSpacing());
        painter->drawText(line, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, lines.at(i));
    }
    if (focused && (opt.state & QStyle::State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.initFrom(opt.widget);
        focus.rect = cell.adjusted(1, 1, -1, -1);
        focus.backgroundColor = opt.palette.color(QPalette::Base);
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, opt.widget);
    }
    painter->restore();
}

} // namespace pixdock
