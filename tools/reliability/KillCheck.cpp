// Writer rows and the check after a kill.
#include "KillCheck.h"

#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace pixdock::reliability {

WriterRow writerRow(qint64 n)
{
    static const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789 ,.'%_");
    QString description = QStringLiteral("row %1: ").arg(n);
    for (qsizetype i = description.size(), length = 40 + (n * 7919) % 3000; i < length; ++i)
        description += alphabet.at((n + i * 31) % alphabet.size());
    return {QStringLiteral("row-%1.jpg").arg(n, 8, 10, QLatin1Char('0')), QStringLiteral("/kill/%1").arg(n % 97), description};
}

void KillLedger::record(qint64 first, const QByteArray &output)
{
    qint64 lastAdded = first - 1;
    bool removedAfterLast = false;
    for (const QByteArray &line : output.split('\n')) {
        const qint64 n = line.mid(line.indexOf(' ') + 1).toLongLong();
        const bool added = line.startsWith("added "), removed = line.startsWith("removed ");
        if (line.startsWith("ready "))
            m_settings = QString::fromUtf8(line.mid(6));
        if (added)
            m_present.insert(lastAdded = n);
        if (removed)
            m_present.remove(n);
        removedAfterLast = removed || (removedAfterLast && !added);
        m_adds += added;
        m_removes += removed;
    }
    // The change under way when the kill came may or may not have landed: after a row divisible
    // by 3 the removal of the row before it (the writer removes before it appends the next row),
    // else the next append.
    const bool removing = lastAdded - 1 >= first && lastAdded % 3 == 0 && !removedAfterLast;
    m_inFlightRemove = removing ? lastAdded - 1 : -1;
    m_inFlightAdd = removing ? -1 : lastAdded + 1;
    m_next = lastAdded + 2;
}

QStringList KillLedger::check(const QString &cataloguePath)
{
    const QString name = QStringLiteral("kill-check");
    const auto removing = qScopeGuard([&name] { QSqlDatabase::removeDatabase(name); });
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(cataloguePath);
    if (!db.open())
        return {QStringLiteral("the catalogue does not open")};
    QStringList problems, integrity; // integrity stays empty, and so not "ok", when the check cannot run
    QSqlQuery q(db);
    for (q.exec(QStringLiteral("PRAGMA integrity_check")); q.next();)
        integrity << q.value(0).toString();
    if (integrity != QStringList{QStringLiteral("ok")})
        problems << "integrity check: " + integrity.join("; ");
    if (!q.exec(QStringLiteral("SELECT FileName, Location, Description FROM Info")))
        problems << QStringLiteral("the rows cannot be read");
    QSet<qint64> found;
    while (q.next()) {
        // A row is whole when it is writer row n in every column.
        const QString file = q.value(0).toString();
        const qint64 n = file.mid(4, file.size() - 8).toLongLong();
        const WriterRow expected = writerRow(n);
        if (file != expected.fileName || q.value(1).toString() != expected.location
            || q.value(2).toString() != expected.description) {
            problems << "a row is not whole: " + file.left(40);
            continue;
        }
        if (found.contains(n))
            problems << QStringLiteral("row %1 is there twice").arg(n);
        found.insert(n);
    }
    for (const qint64 n : std::as_const(m_present))
        if (!found.contains(n) && n != m_inFlightRemove)
            problems << QStringLiteral("acknowledged row %1 is lost").arg(n);
    for (const qint64 n : std::as_const(found))
        if (!m_present.contains(n) && n != m_inFlightAdd)
            problems << QStringLiteral("row %1 was never written, or its acknowledged removal was undone").arg(n);
    // What landed of the change under way is now known.
    m_present = found;
    m_inFlightAdd = m_inFlightRemove = -1;
    return problems;
}

} // namespace pixdock::reliability
