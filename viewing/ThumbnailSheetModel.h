// The thumbnail sheet's items: one row per picture that has (or may yet have) a thumbnail, in
// the order of the grids, keyed by its full path and labelled with its file name. The sheet
// pictures come from a source (the build's memory); a picture found to have no thumbnail
// loses its row. Dragged out, items carry their picture files.
#pragma once

#include <QAbstractListModel>
#include <QImage>
#include <QStringList>

#include <functional>

namespace pixdock {

class ThumbnailSheetModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // The item data that holds the picture's full path (the item's key).
    static constexpr int KeyRole = Qt::UserRole;

    explicit ThumbnailSheetModel(QObject *parent = nullptr);

    // One row per path (picture i is paths[i]); the paths are all different.
    void setPictures(const QStringList &paths);
    // Where the sheet pictures come from: a null image while a picture's is not ready.
    void setImageSource(std::function<QImage(int picture)> source);

    int pictureAt(int row) const;
    // The row of a picture, or -1 when it has none (any more).
    int rowOf(int picture) const;
    QString keyAt(int row) const;

    // The picture's sheet picture has changed (it is ready, or was let go).
    void pictureChanged(int picture);
    // The picture has no thumbnail: its row goes.
    void dropPicture(int picture);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    QStringList m_paths;
    QList<int> m_rows; // the pictures shown, in order: row r shows picture m_rows[r]
    std::function<QImage(int)> m_source;
};

} // namespace pixdock
