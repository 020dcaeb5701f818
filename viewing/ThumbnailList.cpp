// The thumbnail list view's set-up, items and drag data.
#include "ThumbnailList.h"

#include "ThumbnailLoader.h"

#include <QFontMetrics>
#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QUrl>

namespace pixdock {

namespace {

// Label room under each icon: two lines, then the label is shortened in the middle.
constexpr int LabelLines = 2;
constexpr int CellMargin = 12;

// Draws the selection only while the list has the keyboard focus.
class FocusSelectionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(option->state & QStyle::State_HasFocus) && option->widget && !option->widget->hasFocus())
            option->state &= ~QStyle::State_Selected;
    }
};

} // namespace

ThumbnailList::ThumbnailList(QWidget *parent)
    : QListWidget(parent)
{
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setIconSize(thumbnails::SheetSize);
    setWordWrap(true);
    setTextElideMode(Qt::ElideMiddle);
    const int labelHeight = fontMetrics().lineSpacing() * LabelLines;
    setGridSize(QSize(thumbnails::SheetSize.width() + 2 * CellMargin,
                      thumbnails::SheetSize.height() + labelHeight + CellMargin));
    // Every cell has the same size, which keeps laying out a thousand items cheap; a large
    // sheet is laid out in batches so that the window keeps answering.
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(200);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAcceptDrops(false);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setItemDelegate(new FocusSelectionDelegate(this));
}

QListWidgetItem *ThumbnailList::addThumbnail(const QString &key, const QString &text, const QImage &image)
{
    if (m_keys.contains(key))
        return nullptr;
    auto *item = new QListWidgetItem(QIcon(QPixmap::fromImage(image)), text);
    item->setData(KeyRole, key);
    item->setToolTip(key);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
    addItem(item);
    m_keys.insert(key);
    return item;
}

QListWidgetItem *ThumbnailList::itemWithKey(const QString &key) const
{
    for (int row = 0; row < count(); ++row) {
        if (keyOf(item(row)) == key)
            return item(row);
    }
    return nullptr;
}

QString ThumbnailList::keyOf(const QListWidgetItem *item)
{
    return item ? item->data(KeyRole).toString() : QString();
}

QStringList ThumbnailList::mimeTypes() const
{
    return {QStringLiteral("text/uri-list"), QStringLiteral("text/plain")};
}

QMimeData *ThumbnailList::mimeData(const QList<QListWidgetItem *> &items) const
{
    QList<QUrl> urls;
    QStringList paths;
    for (const QListWidgetItem *item : items) {
        paths.append(keyOf(item));
        urls.append(QUrl::fromLocalFile(paths.last()));
    }
    auto *data = new QMimeData;
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

} // namespace pixdock
