// What the catalogue's index and paging tests share: a connection of another program (no
// functions of ours, as the sqlite3 shell would have), and reading grid rows out.
#pragma once

#include "CatalogueEngine.h"
#include "CatalogueGridRows.h"
#include "CatalogueSnapshot.h"
#include "ProgramFolder.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <map>
#include <memory>

namespace pixdock::test {

// A connection to db.fil as another program has it: plain SQLite, no UNOCASE, no `like` of ours.
// It waits up to ten seconds for a lock (this program's upkeep may be writing), unless the
// options say otherwise.
class ForeignConnection
{
public:
    explicit ForeignConnection(const QString &path, const QString &options = {});
    ~ForeignConnection();
    ForeignConnection(const ForeignConnection &) = delete;
    ForeignConnection &operator=(const ForeignConnection &) = delete;

    QSqlDatabase database() const;
    // Runs a statement with its values bound; fails the test (returns false) when refused.
    bool exec(const QString &sql, const QVariantList &values = {}) const;
    // The first column of the first row of a query.
    QVariant value(const QString &sql) const;

private:
    QString m_name;
};

// A test class whose every test starts with a fresh program folder (and db.fil) and a program
// state as at start-up.
class CatalogueFileTest : public QObject
{
    Q_OBJECT
protected slots:
    void init();
    void cleanup();

protected:
    std::unique_ptr<ProgramFolder> m_folder;
};

// The rows' file names, in order.
QStringList namesOf(const QList<catalogue::CatalogueRow> &rows);
// Every row of a grid's rows, in order.
QList<catalogue::CatalogueRow> allRows(const catalogue::GridRows &rows);
// Rows as the list shows them: in the name order, rows of equal names in the order given.
QList<catalogue::CatalogueRow> inNameOrder(QList<catalogue::CatalogueRow> rows);
// The catalogue's rows in the order they were added, as a plain connection reads them.
QList<catalogue::CatalogueRow> tableRows(const QString &cataloguePath);

// The list and a search through the catalogue's service, waited for until whole.
std::shared_ptr<catalogue::CatalogueSnapshot> loadedList();
std::shared_ptr<catalogue::CatalogueSnapshot> searched(const QString &keywords);

// A sink that keeps what an engine session reads.
class CollectingSink : public catalogue::SnapshotSink
{
public:
    void expectRows(qint64 count) override { expected = count; }
    void append(qint64 position, std::string_view fileName, std::string_view location,
                std::string_view description) override;
    void restart() override
    {
        placed.clear();
        ++restarts;
    }
    bool cancelled() const override { return false; }
    // The rows in the order of their places; each place must have had one row only.
    QList<catalogue::CatalogueRow> rows() const;

    qint64 expected = -1;
    int restarts = 0;
    std::map<qint64, catalogue::CatalogueRow> placed;
    int handedAgain = 0;
};

// `count` distinct rows written by another program in one transaction: names in mixed case, one
// in ten beyond ASCII; location "/pictures/N" for N = n % 97; description "description n of
// harbour" for every thirteenth row, "description n of field" for the others.
void fillWithManyRows(const QString &path, int count);

// A file's bytes; none when it cannot be read.
QByteArray fileBytes(const QString &path);

// The objects of the catalogue's schema, by name (tables, indexes, triggers).
QStringList schemaNames(const QString &cataloguePath);

} // namespace pixdock::test
