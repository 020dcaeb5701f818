// The reliability tests' helpers.
#include "ReliabilityHelpers.h"

#include "CatalogueStore.h"
#include "KillCheck.h"
#include "SqliteSession.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>


namespace pixdock::test {

void fillCatalogue(const QString &path, int rows)
{
    const QString name = QStringLiteral("reliability-fill");
    catalogue::openCatalogueFile(name, path);
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.transaction();
        for (int n = 1; n <= rows; ++n) {
            const reliability::WriterRow row = reliability::writerRow(n);
            catalogue::addRow(db, row.fileName, row.location, row.description);
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    // The file as a running Pixdock leaves it: its stored order and search index made, so that
    // opening it later changes nothing.
    catalogue::SqliteSession session(path);
    while (session.upkeepStep() == catalogue::CatalogueSession::Upkeep::More) {
    }
}

QString runProbeAs(const OrdinaryUser &user, const QString &programFolder, const QString &scenario)
{
    const QStringList command =
        user.commandLine(QStringLiteral(PIXDOCK_CATALOGUE_PROBE), {programFolder, scenario});
    // A home of the probe's own: the test's home and runtime folders are not the user's.
    QTemporaryDir home;
    user.give(home.path());
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const char *name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        env.insert(QLatin1String(name), home.path());
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::SeparateChannels);
    probe.start(command.first(), command.mid(1));
    if (!probe.waitForFinished(60000)) {
        probe.kill();
        probe.waitForFinished();
        return QStringLiteral("probe hung");
    }
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QStringLiteral("probe failed (%1): ").arg(probe.exitCode())
               + QString::fromLocal8Bit(probe.readAllStandardError().right(2000));
    return QString::fromUtf8(probe.readAllStandardOutput());
}

} // namespace pixdock::test
