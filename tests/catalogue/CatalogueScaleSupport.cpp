// Shared pieces of the catalogue's file tests.
#include "CatalogueScaleSupport.h"

#include "NameOrder.h"
#include "PostgresServer.h"
#include "StallGuard.h"

#include <QRandomGenerator>
#include <QSqlError>

#include <algorithm>

namespace pixdock::test {

ForeignConnection::ForeignConnection(const QString &database, const QString &options, const QString &driver,
                                     const QString &host)
{
    static int connections = 0; // each connection under a name of its own
    m_name = QStringLiteral("foreign-%1").arg(++connections);
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, m_name);
    db.setDatabaseName(database);
    db.setHostName(host);
    db.setUserName(PostgresServer::superUser());
    if (driver == QLatin1String("QSQLITE"))
        db.setConnectOptions(options.isEmpty() ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000") : options);
    if (!db.open())
        qWarning("cannot open %s: %s", qPrintable(database), qPrintable(db.lastError().text()));
}

ForeignConnection::~ForeignConnection()
{
    release();
    database().close();
    QSqlDatabase::removeDatabase(m_name);
}

void ForeignConnection::release()
{
    m_held.reset();
    QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
}

bool ForeignConnection::exec(const QString &sql, const QVariantList &values) const
{
    QSqlQuery q(database());
    bool ok = q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    ok = ok && q.exec();
    if (!ok)
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return ok;
}

QVariant ForeignConnection::value(const QString &sql) const
{
    QSqlQuery q(database());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

bool ForeignConnection::hold(const QString &statements)
{
    m_held = std::make_unique<QSqlQuery>(database());
    for (const QString &sql : statements.split(QStringLiteral("; ")))
        if (!m_held->exec(sql))
            return qWarning("%s: %s", qPrintable(sql), qPrintable(m_held->lastError().text())), false;
    return true;
}

QStringList namesOf(const QList<catalogue::CatalogueRow> &rows)
{
    QStringList out;
    for (const catalogue::CatalogueRow &row : rows)
        out << row.fileName;
    return out;
}

QList<catalogue::CatalogueRow> allRows(const catalogue::GridRows &rows)
{
    QList<catalogue::CatalogueRow> out;
    for (int r = 0; r < rows.rowCount(); ++r)
        out.append({rows.cell(r, 0), rows.cell(r, 1), rows.cell(r, 2)});
    return out;
}

QList<catalogue::CatalogueRow> inNameOrder(QList<catalogue::CatalogueRow> rows)
{
    const StallGuardPause preparing; // the test's own reference order, not the program's work
    std::stable_sort(rows.begin(), rows.end(), [](const catalogue::CatalogueRow &a, const catalogue::CatalogueRow &b) {
        return names::compare(a.fileName, b.fileName) < 0;
    });
    return rows;
}

QList<catalogue::CatalogueRow> tableRows(const QString &cataloguePath)
{
    const StallGuardPause preparing; // the test's own reading, not the program's work
    ForeignConnection other(cataloguePath);
    QSqlQuery q(other.database());
    QList<catalogue::CatalogueRow> rows;
    q.exec(QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY rowid"));
    while (q.next())
        rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    return rows;
}

std::shared_ptr<catalogue::CatalogueSnapshot> loadedList()
{
    auto rows = catalogue::CatalogueService::instance().loadList();
    rows->waitUntilLoaded();
    return rows;
}

std::shared_ptr<catalogue::CatalogueSnapshot> searched(const QString &keywords)
{
    auto rows = catalogue::CatalogueService::instance().search(keywords);
    rows->waitUntilLoaded();
    return rows;
}

void fillWithManyRows(const QString &path, int count)
{
    const StallGuardPause preparing; // another program's writing, not this program's work
    ForeignConnection other(path);
    QVERIFY(other.exec("BEGIN"));
    QSqlQuery insert(other.database());
    insert.prepare(QStringLiteral("INSERT INTO Info VALUES (?, ?, ?)"));
    QRandomGenerator random(7);
    const QStringList wide = {"é", "Ä", "ẞ", "Σ", "ſ", "\u212A"};
    for (int n = 0; n < count; ++n) {
        QString name = QStringLiteral("%1pic%2.jpg").arg(QChar(u'a' + char16_t(random.bounded(26)))).arg(n);
        if (random.bounded(2) == 0)
            name = name.toUpper();
        if (random.bounded(10) == 0)
            name.insert(1, wide.at(random.bounded(int(wide.size()))));
        insert.addBindValue(name);
        insert.addBindValue(QStringLiteral("/pictures/%1").arg(n % 97));
        insert.addBindValue(QStringLiteral("description %1 of %2").arg(n).arg(n % 13 == 0 ? "harbour" : "field"));
        QVERIFY(insert.exec());
    }
    QVERIFY(other.exec("COMMIT"));
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace pixdock::test
