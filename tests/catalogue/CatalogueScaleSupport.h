// What the catalogue's file tests share: a fresh program folder per test, a connection of
// another program (no functions of ours, as the sqlite3 shell would have), and the catalogue's
// rows read back through it or through the program's service.
#pragma once

#include "CatalogueGridRows.h"
#include "CatalogueService.h"
#include "CatalogueSnapshot.h"
#include "CatalogueStore.h"
#include "ProgramFolder.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace pixdock::test {

// A connection to a catalogue as another program has it: plain SQLite (or PostgreSQL as the
// server's superuser), no UNOCASE, no `like` of ours. On SQLite it waits up to ten seconds for
// a lock (this program's upkeep may be writing), unless the options say otherwise. Whatever
// transaction it still holds is rolled back when it goes.
class ForeignConnection
{
public:
    explicit ForeignConnection(const QString &database, const QString &options = {},
                               const QString &driver = QStringLiteral("QSQLITE"), const QString &host = {});
    ~ForeignConnection();
    Q_DISABLE_COPY_MOVE(ForeignConnection)

    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }
    // Runs a statement with its values bound; warns and returns false when refused.
    bool exec(const QString &sql, const QVariantList &values = {}) const;
    // The first column of the first row of a query.
    QVariant value(const QString &sql) const;
    // Runs statements separated by "; " on one query left open, so that a reader's SELECT
    // keeps its lock; false when one is refused. release() ends them and rolls back.
    bool hold(const QString &statements);
    void release();

private:
    QString m_name;
    std::unique_ptr<QSqlQuery> m_held;
};

// A test class whose every test starts with a fresh program folder (and db.fil) and a program
// state as at start-up.
class CatalogueFileTest : public QObject
{
    Q_OBJECT
protected slots:
    void init()
    {
        resetProgramState();
        m_folder = std::make_unique<ProgramFolder>();
    }
    void cleanup()
    {
        resetProgramState();
        m_folder.reset();
    }

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

// `count` distinct rows written by another program in one transaction: names in mixed case, one
// in ten beyond ASCII; location "/pictures/N" for N = n % 97; description "description n of
// harbour" for every thirteenth row, "description n of field" for the others.
void fillWithManyRows(const QString &path, int count);

// A file's bytes; none when it cannot be read.
QByteArray fileBytes(const QString &path);

} // namespace pixdock::test
