// Remembered folder listings, checked against the folder's stamp on every use.
#include "FolderListingCache.h"

#include "NameOrder.h"

#include <algorithm>

namespace pixdock::viewing {

namespace {
// "a/b/" and "a/b" are the same folder; an empty folder is the root, as for the listing.
QString folderKey(const QString &folder)
{
    QString key = folder.isEmpty() ? QStringLiteral("/") : folder;
    while (key.size() > 1 && key.endsWith(QLatin1Char('/')))
        key.chop(1);
    return key;
}
} // namespace

FolderListingCache::FolderListingCache(qint64 settleNs, int folders, qsizetype names)
    : m_settleNs(settleNs)
    , m_folders(std::max(1, folders))
    , m_names(names)
{
}

FolderListingCache &FolderListingCache::shared()
{
    static FolderListingCache cache;
    return cache;
}

bool FolderListingCache::stillHolds(const Entry &entry, const std::optional<FileStamp> &now) const
{
    // A listing sorted before the name order followed a new locale is sorted afresh.
    if (entry.order != names::generation())
        return false;
    if (!stampStillHolds(entry.stamp, now, entry.readAtNs, m_settleNs))
        return false;
    // A link's target can appear or vanish elsewhere without the folder changing.
    return std::all_of(entry.links.begin(), entry.links.end(), [&](const FolderScan::Link &link) {
        return linkLeadsToFile(entry.folder, link.name) == link.listed;
    });
}

std::shared_ptr<const QStringList> FolderListingCache::listing(const QString &folder)
{
    const QString key = folderKey(folder);
    std::lock_guard lock(m_mutex);
    // Time and stamp are taken before the reading: a change while it runs is then newer than
    // both, and the reading is not trusted later.
    const qint64 readAt = realTimeNs();
    const std::optional<FileStamp> stamp = stampOf(key);

    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &e) { return e.folder == key; });
    if (found != m_entries.end()) {
        if (stillHolds(*found, stamp)) {
            std::rotate(m_entries.begin(), found, found + 1);
            return m_entries.constFirst().names;
        }
        m_entries.erase(found);
    }

    const int order = names::generation();
    FolderScan scan = scanFolder(folder);
    auto names = std::make_shared<const QStringList>(std::move(scan.names));
    if (stamp) {
        m_entries.prepend(Entry{key, *stamp, readAt, order, names, std::move(scan.links)});
        qsizetype kept = 0;
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            kept += m_entries[i].names->size();
            if (i > 0 && (i >= m_folders || kept > m_names)) {
                m_entries.erase(m_entries.begin() + i, m_entries.end());
                break;
            }
        }
    }
    return names;
}

void FolderListingCache::clear()
{
    std::lock_guard lock(m_mutex);
    m_entries.clear();
}

} // namespace pixdock::viewing
