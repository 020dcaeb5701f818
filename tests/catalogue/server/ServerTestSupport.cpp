// Databases on the tests' server and rows read without the program's own code.
#include "ServerTestSupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace pixdock::test {

using catalogue::CopiedRow;

QString freshServerDatabase(const QString &purpose)
{
    PostgresServer &server = PostgresServer::shared();
    const QString name = purpose + QLatin1Char('_') + QUuid::createUuid().toString(QUuid::Id128).left(8);
    if (server.isRunning() && server.createDatabase(name))
        return name;
    QTest::qFail(qPrintable("the tests' PostgreSQL server cannot make a database: " + server.failure()), __FILE__, __LINE__);
    return {};
}

QStringList texts(const QList<CopiedRow> &rows)
{
    const auto shown = [](const QString &v) { return v.isNull() ? QStringLiteral("<NULL>") : v; };
    QStringList out;
    for (const CopiedRow &row : rows)
        out << shown(row.fileName) + " | " + shown(row.location) + " | " + shown(row.description);
    return out;
}

QStringList catalogueRows(const QString &database, bool onServer)
{
    const QString name = QStringLiteral("test-rows");
    QList<CopiedRow> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(onServer ? "QPSQL" : "QSQLITE", name);
        db.setDatabaseName(database);
        db.setHostName(onServer ? PostgresServer::shared().socketFolder() : QString());
        db.setUserName(PostgresServer::superUser());
        QSqlQuery q(db);
        const auto text = [&](int i) { return q.isNull(i) ? QString() : q.value(i).toString(); };
        if (db.open() && q.exec(QStringLiteral("SELECT FileName, Location, Description FROM Info ORDER BY ")
                                + (onServer ? "id" : "rowid")))
            while (q.next())
                rows.append({text(0), text(1), text(2)});
    }
    QSqlDatabase::removeDatabase(name);
    return texts(rows);
}

bool writeFileRows(const QString &path, const QList<CopiedRow> &rows)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-write-rows");
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && db.transaction() && q.prepare("INSERT INTO Info (FileName, Location, Description) VALUES (?, ?, ?)");
        for (const CopiedRow &row : rows) {
            for (const QString &v : {row.fileName, row.location, row.description})
                q.addBindValue(v.isNull() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v));
            ok = ok && q.exec();
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase("test-write-rows");
    return ok;
}

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const RunTimeError &e) {
        return e.description();
    }
    return {};
}

QList<CopiedRow> awkwardRows()
{
    return {
        {QStringLiteral("O'Brien.jpg"), QStringLiteral("/home/anna/it's here"), QStringLiteral("a 'quoted' word")},
        {QStringLiteral("100%_off.png"), QStringLiteral("/tmp/%_\\"), QStringLiteral("50% off_sale \\ back\\slash \\N")},
        {QStringLiteral("tab\there.jpg"), QStringLiteral("/line\nbreak\r"), QStringLiteral("\t\n\r\\t\\n")},
        {QStringLiteral("null description.jpg"), QStringLiteral("/x"), QString()},
        {QString(), QString(), QStringLiteral("no name, no folder")},
        {QStringLiteral(""), QStringLiteral(""), QStringLiteral("")},
        {QStringLiteral("STRASSE ẞ straße.jpg"), QStringLiteral("/Ünïcödé/ΣΊΣΥΦΟΣ"),
         QStringLiteral("ΌΣΟΣ ὅσος ς σ Σ µ μ ſ s K k İ i ı I ǅ ǆ Ǆ ﬃ")},
        {QStringLiteral("e\u0301clair.jpg"), QStringLiteral("/Ꭰ ꭰ Ჿ ჿ"), QStringLiteral("😀 \U0001F600 𐐀 𐐨 ǰ")},
        {QStringLiteral("Long.jpg"), QStringLiteral("/l"), QString(20000, QLatin1Char('x')) + QStringLiteral(" end")},
        {QStringLiteral("-leading dash; DROP TABLE Info;--"), QStringLiteral("/"), QStringLiteral("None")},
        // The odd names a user's pictures carry: double quotes, a newline, NFC beside NFD, the
        // longest file name (255 bytes) in a 4,000-byte path.
        {QStringLiteral("say \"cheese\".png"), QStringLiteral("\"quoted\""), QStringLiteral("\"cheese\"")},
        {QStringLiteral("new\nline.png"), QStringLiteral("two\nlines"), QStringLiteral("line\nbreak")},
        {QStringLiteral("Caf\u00e9.png"), QStringLiteral("Caf\u00e9"), QStringLiteral("caf\u00e9")},
        {QStringLiteral("Cafe\u0301.png"), QStringLiteral("Cafe\u0301"), QStringLiteral("cafe\u0301")},
        {QString(125, QChar(0xE9)) + QStringLiteral("x.png"), QLatin1Char('/') + QString(3740, QLatin1Char('d')),
         QStringLiteral("long name")},
    };
}

} // namespace pixdock::test
