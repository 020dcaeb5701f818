// How one cell of the thumbnail sheet looks: the 100 x 100 picture (an empty frame while it is
// being made) with the file name under it, wrapped over up to three lines, breaking between
// words or, in a name without spaces, anywhere. The selection shows only while the sheet has
// the keyboard focus.
#pragma once

#include <QSize>
#include <QStringList>
#include <QStyledItemDelegate>

class QFont;

namespace pixdock {

// Label lines under each picture.
inline constexpr int LabelLines = 3;

// The label `text` broken into lines no wider than `width` in `font`; when it needs more than
// `maxLines`, the last line shown ends in an ellipsis.
QStringList wrappedLabel(const QString &text, const QFont &font, int width, int maxLines = LabelLines);

class ThumbnailDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ThumbnailDelegate(QSize picture, QObject *parent = nullptr);

    // Every cell of the sheet has this size: the picture, room for the label, and margins.
    QSize cellSize(const QFont &font) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QSize m_picture;
};

} // namespace pixdock
