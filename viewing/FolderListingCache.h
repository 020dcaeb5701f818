// The sorted listings of the last few folders stepped through, so that a step in a large
// folder does not read and sort the whole folder again. A listing is reused only while the
// folder provably has not changed since it was read; otherwise the folder is read afresh,
// so the answer is always what a fresh reading would give.
#pragma once

#include "FileStamp.h"
#include "FolderListing.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

namespace pixdock::viewing {

class FolderListingCache
{
public:
    // `settleNs`: how long before a reading the folder's last change must lie for the
    // reading to be trusted later (see StampSettleNs). `folders`: how many listings are kept;
    // `names`: how many names they may hold together (the latest listing is kept whatever
    // its size).
    explicit FolderListingCache(qint64 settleNs = StampSettleNs, int folders = 4, qsizetype names = 250'000);

    // The one the folder commands use.
    static FolderListingCache &shared();

    // The folder's files, sorted, as folderListing() reads them now; the same failures.
    std::shared_ptr<const QStringList> listing(const QString &folder);

    void clear();

private:
    struct Entry
    {
        QString folder;
        FileStamp stamp;
        qint64 readAtNs = 0;
        int order = 0; // the name order's generation it was sorted under
        std::shared_ptr<const QStringList> names;
        QList<FolderScan::Link> links;
    };
    bool stillHolds(const Entry &entry, const std::optional<FileStamp> &now) const;

    qint64 m_settleNs;
    int m_folders;
    qsizetype m_names;
    std::mutex m_mutex;
    QList<Entry> m_entries; // the most recently used first
};

} // namespace pixdock::viewing
