// The list view of the thumbnail sheet: large icons flowing from the left and wrapping, one
// item per picture keyed by its full path, dragged out as the picture files.
#pragma once

#include <QSet>
#include <QImage>
#include <QListWidget>
#include <QString>

namespace pixdock {

class ThumbnailList : public QListWidget
{
    Q_OBJECT
public:
    // The item data that holds the picture's full path (the item's key).
    static constexpr int KeyRole = Qt::UserRole;

    explicit ThumbnailList(QWidget *parent = nullptr);

    // Adds an item for the picture at `key` labelled `text` with `image` as its icon; a key
    // that is there already is refused (nullptr), so a picture shows once, at its first place.
    QListWidgetItem *addThumbnail(const QString &key, const QString &text, const QImage &image);
    QListWidgetItem *itemWithKey(const QString &key) const;
    static QString keyOf(const QListWidgetItem *item);

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;

private:
    QSet<QString> m_keys;
};

} // namespace pixdock
