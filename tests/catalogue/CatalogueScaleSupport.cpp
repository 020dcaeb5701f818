// Shared pieces of the index and paging tests.
#include "CatalogueScaleSupport.h"

#include "CatalogueService.h"
#include "NameOrder.h"
#include "StallGuard.h"
#include "TestState.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>

namespace pixdock::test {

namespace {
int foreignConnections = 0; // each connection under a name of its own
} // namespace

void CatalogueFileTest::init()
{
    resetProgramState();
    m_folder = std::make_unique<ProgramFolder>();
}

void CatalogueFileTest::cleanup()
{
    resetProgramState();
    m_folder.reset();
}

ForeignConnection::ForeignConnection(const QString &path, const QString &options)
    : m_name(QStringLiteral("foreign-%1").arg(++foreignConnections))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    db.setConnectOptions(options.isEmpty() ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000") : options);
    if (!db.open())
        qWarning("cannot open %s: %s", qPrintable(path), qPrintable(db.lastError().text()));
}

ForeignConnection::~ForeignConnection()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase ForeignConnection::database() const { return QSqlDatabase::database(m_name, false); }

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
    if (q.exec(QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY rowid"))) {
        while (q.next())
            rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    }
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

void CollectingSink::append(qint64 position, std::string_view fileName, std::string_view location,
                            std::string_view description)
{
    const catalogue::CatalogueRow row{catalogue::textOf(fileName), catalogue::textOf(location),
                                      catalogue::textOf(description)};
    const auto [at, added] = placed.emplace(position, row);
    // The first screen is handed again with the rest: the same row, or a fault.
    if (!added && at->second != row)
        ++handedAgain;
}

QList<catalogue::CatalogueRow> CollectingSink::rows() const
{
    QList<catalogue::CatalogueRow> out;
    qint64 expectedPlace = 0;
    for (const auto &[place, row] : placed) {
        if (place != expectedPlace++)
            return {}; // a gap: some place got no row
        out.append(row);
    }
    return out;
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

QStringList schemaNames(const QString &cataloguePath)
{
    return ForeignConnection(cataloguePath)
        .value("SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY name)")
        .toString()
        .split(' ', Qt::SkipEmptyParts);
}

} // namespace pixdock::test
