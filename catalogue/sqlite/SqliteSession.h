// The catalogue engine over the SQLite file db.fil: a session is one connection, opened in the
// thread that uses it. Before every write it makes sure the file it has open is still the file
// at the catalogue's path (device and inode): a file another program renamed over it or deleted
// is never written to in its place.
#pragma once

#include "CatalogueEngine.h"
#include "CatalogueStore.h"

#include <functional>

struct sqlite3;

namespace pixdock::catalogue {

class SqliteSession : public CatalogueSession
{
public:
    // Opens the catalogue at `path` as start-up does; raises its message when that fails.
    explicit SqliteSession(QString path);
    ~SqliteSession() override;
    SqliteSession(const SqliteSession &) = delete;
    SqliteSession &operator=(const SqliteSession &) = delete;

    void readNameOrder(SnapshotSink &sink) override;
    void readSearch(const QStringList &keywords, SnapshotSink &sink) override;
    int fileNameCount(const QString &fileName) override;
    void addRow(const CatalogueRow &row) override;
    int removeRows(const QString &fileName, const QString &location) override;
    Upkeep upkeepStep() override;

private:
    sqlite3 *handle() const;
    QSqlDatabase database() const;
    void open();
    // Makes the connection's file the one at the path now: reopens after a replacement, raises
    // when there is no usable catalogue there.
    void useFileAtPath();
    // Runs `body` in one write transaction on the file at the path.
    void write(const std::function<void(sqlite3 *)> &body);

    QString m_path;
    QString m_name;
    bool m_open = false;
    FileIdentity m_identity;
    bool m_prepared = false;
    bool m_largeCache = false;
    // The stored order was checked to hold every row once, in this session.
    bool m_orderVerified = false;
};

} // namespace pixdock::catalogue
