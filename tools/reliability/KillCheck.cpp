// Writer rows and the check after a kill.
#include "KillCheck.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace pixdock::reliability {

WriterRow writerRow(qint64 n)
{
    static const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789 ,.'%_");
    const qsizetype length = 40 + (n * 7919) % 3000;
    QString description = QStringLiteral("row %1: ").arg(n);
    for (qsizetype i = description.size(); i < length; ++i)
        description += alphabet.at((n + i * 31) % alphabet.size());
    return {QStringLiteral("row-%1.jpg").arg(n, 8, 10, QLatin1Char('0')),
            QStringLiteral("/kill/%1").arg(n % 97), description};
}

qint64 writerRowNumber(const QString &fileName)
{
    if (!fileName.startsWith(QLatin1String("row-")) || !fileName.endsWith(QLatin1String(".jpg")))
        return -1;
    bool ok = false;
    const qint64 n = fileName.mid(4, fileName.size() - 8).toLongLong(&ok);
    return ok && writerRow(n).fileName == fileName ? n : -1;
}

void KillLedger::record(qint64 first, const QByteArray &output)
{
    ++m_rounds;
    qint64 lastAdded = first - 1;
    bool removedAfterLast = false;
    for (const QByteArray &line : output.split('\n')) {
        if (line.startsWith("ready ")) {
            m_settings = QString::fromUtf8(line.mid(6));
        } else if (line.startsWith("added ")) {
            const qint64 n = line.mid(6).toLongLong();
            m_present.insert(n);
            lastAdded = n;
            removedAfterLast = false;
            ++m_adds;
        } else if (line.startsWith("removed ")) {
            const qint64 n = line.mid(8).toLongLong();
            m_present.remove(n);
            m_removed.insert(n);
            removedAfterLast = true;
            ++m_removes;
        }
    }
    // The change under way when the kill came may or may not have landed.
    m_inFlightAdd = lastAdded + 1;
    m_inFlightRemove = (lastAdded >= first && lastAdded % 3 == 0 && lastAdded - 1 >= first && !removedAfterLast)
                           ? lastAdded - 1
                           : -1;
    if (m_inFlightRemove >= 0)
        m_inFlightAdd = -1; // the writer removes before it appends the next row
    m_next = lastAdded + 2;
}

QStringList KillLedger::check(const QString &cataloguePath)
{
    QStringList problems;
    const QString name = QStringLiteral("kill-check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(cataloguePath);
        if (!db.open()) {
            problems << QStringLiteral("the catalogue does not open");
        } else {
            QSqlQuery q(db);
            QStringList integrity; // stays empty, and so not "ok", when the check cannot run
            q.exec(QStringLiteral("PRAGMA integrity_check"));
            while (q.next())
                integrity << q.value(0).toString();
            if (integrity != QStringList{QStringLiteral("ok")})
                problems << QStringLiteral("integrity check: ") + integrity.join(QStringLiteral("; "));
            QSet<qint64> found;
            if (!q.exec(QStringLiteral("SELECT FileName, Location, Description FROM Info")))
                problems << QStringLiteral("the rows cannot be read");
            while (q.next()) {
                const QString file = q.value(0).toString();
                const qint64 n = writerRowNumber(file);
                const WriterRow expected = writerRow(n);
                if (n < 0 || q.value(1).toString() != expected.location
                    || q.value(2).toString() != expected.description) {
                    ++m_halfWritten;
                    problems << QStringLiteral("a row is not whole: ") + file.left(40);
                    continue;
                }
                if (found.contains(n))
                    problems << QStringLiteral("row %1 is there twice").arg(n);
                found.insert(n);
            }
            for (const qint64 n : std::as_const(m_present)) {
                if (!found.contains(n) && n != m_inFlightRemove) {
                    ++m_lost;
                    problems << QStringLiteral("acknowledged row %1 is lost").arg(n);
                }
            }
            for (const qint64 n : std::as_const(found)) {
                if (m_removed.contains(n))
                    problems << QStringLiteral("acknowledged removal of row %1 is undone").arg(n);
                else if (!m_present.contains(n) && n != m_inFlightAdd)
                    problems << QStringLiteral("row %1 was never written").arg(n);
            }
            // What landed of the change under way is now known.
            if (m_inFlightAdd >= 0 && found.contains(m_inFlightAdd))
                m_present.insert(m_inFlightAdd);
            if (m_inFlightRemove >= 0 && !found.contains(m_inFlightRemove)) {
                m_present.remove(m_inFlightRemove);
                m_removed.insert(m_inFlightRemove);
            }
            m_inFlightAdd = m_inFlightRemove = -1;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problems;
}

} // namespace pixdock::reliability
