// The catalogue commands as a user runs them: the real program with --create-catalogue and
// --copy-catalogue, what it prints, its exit status, and a password that it never prints; a
// catalogue is made once and never over another, on the server or in a file.
#include "ServerTestSupport.h"



using pixdock::test::PostgresServer;

namespace {

// A run of the program: its exit status (-1: it did not end normally) and what it printed.
struct Run { int status = -1; QString out, err; };

Run runPixdock(const QStringList &arguments)
{
    QProcess program;
    program.start(QStringLiteral(PIXDOCK_PROGRAM), arguments);
    const bool ended = program.waitForFinished(120000) && program.exitStatus() == QProcess::NormalExit;
    return {ended ? program.exitCode() : -1, QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
}

} // namespace

class TestCatalogueCommands : public QObject
{
    Q_OBJECT
private slots:
    void theCommandsMakeAndCopyCataloguesWithoutShowingThePassword()
    {
        PostgresServer &server = PostgresServer::shared();
        const QString database = pixdock::test::freshServerDatabase(QStringLiteral("commands"));
        QVERIFY(server.addPasswordRole(QStringLiteral("carla"), QStringLiteral("s3cret")));
        QVERIFY(server.runSql(database, QStringLiteral("GRANT ALL ON SCHEMA public TO carla;")));
        const QString folder = QString::fromLatin1(QUrl::toPercentEncoding(server.socketFolder()));
        const QString uri = QStringLiteral("postgresql://carla:s3cret@%1/%2").arg(folder, database);
        const QString shown = QStringLiteral("postgresql://carla@%1/%2").arg(folder, database);
        QTemporaryDir files;
        const QString file = files.filePath(QStringLiteral("db.fil"));

        // A run's exit status and all it printed on its output (status 0) or its errors.
        Run run;
        const auto says = [&](const QStringList &arguments, int status, const QString &text) {
            run = runPixdock(arguments);
            QCOMPARE(run.status, status);
            QCOMPARE(status == 0 ? run.out : run.err, text);
        };
        says({"--create-catalogue", file}, 0, QStringLiteral("Made an empty catalogue: %1\n").arg(file));
        // A user who may not create in the database hears what the server refused.
        run = runPixdock({QStringLiteral("--create-catalogue"), uri});
        QVERIFY2(run.status == 1 && run.err.contains(QLatin1String("does not allow this user to do that (permission denied")),
                 qPrintable(run.err));
        QVERIFY(server.runSql(database, QStringLiteral("GRANT CREATE ON DATABASE %1 TO carla;").arg(database)));
        says({"--create-catalogue", uri}, 0, QStringLiteral("Made an empty catalogue: %1\n").arg(shown));

        QVERIFY(server.runSql(database, QStringLiteral("INSERT INTO Info (FileName, Location, Description) "
                                                       "VALUES ('a.jpg', '/p', 'one'), ('b.jpg', '/p', 'two');")));
        run = runPixdock({QStringLiteral("--create-catalogue"), uri});
        QVERIFY2(run.status == 1 && run.err.contains(QLatin1String("already has a table Info")), qPrintable(run.err));
        const QString copy = files.filePath(QStringLiteral("copy.fil"));
        run = runPixdock({QStringLiteral("--copy-catalogue"), uri, copy});
        QVERIFY2(run.status == 0
                     && run.out.startsWith(QStringLiteral("Copied 2 pictures from %1 to %2; both hold the same rows (SHA-256 ")
                                               .arg(shown, copy)),
                 qPrintable(run.out + run.err));
        says({"--create-catalogue", copy}, 1,
             QStringLiteral("pixdock: The catalogue file %1 already exists; it was left as it is.\n").arg(copy));
        // Neither catalogue was made over: the file still holds the server's two rows.
        QCOMPARE(pixdock::test::catalogueRows(copy), QStringList({"a.jpg | /p | one", "b.jpg | /p | two"}));

        // Refusals name the database and the server, never the password.
        const QString nowhere = QStringLiteral("postgresql://carla:s3cret@%1/nowhere").arg(folder);
        const QString where = QStringLiteral("database %1 on %2").arg(database, server.socketFolder());
        for (const auto &[from, to, said] : {std::tuple(copy, uri, QStringList{"already holds pictures", where}),
                                             std::tuple(nowhere, copy, QStringList{"does not exist on the server"})}) {
            run = runPixdock({QStringLiteral("--copy-catalogue"), from, to});
            QCOMPARE(run.status, 1);
            for (const QString &piece : said)
                QVERIFY2(run.err.contains(piece), qPrintable(run.err));
            QVERIFY(!(run.out + run.err).contains(QLatin1String("s3cret")));
        }
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueCommands)
#include "tst_CatalogueCommands.moc"
