// Reading the command line: the files to open, --help and --version, and what is refused.
#include "CommandLine.h"
#include "TestRegistry.h"

#include <QTest>

using namespace pixdock;

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("exitAtOnce");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("textStart");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("catalogueCommand"); // what to do, with which catalogues
        QTest::newRow("no argument") << QStringList{"pixdock"} << false << 0 << "" << QStringList() << QStringList();
        QTest::newRow("files in order") << QStringList{"pixdock", "b.jpg", "/x/a b.png"} << false << 0 << ""
                                        << QStringList{"b.jpg", "/x/a b.png"} << QStringList();
        QTest::newRow("Qt's own options go through to Qt")
            << QStringList{"pixdock", "-platform", "offscreen", "a.jpg", "-session", "1x2", "-reverse"} << false << 0
            << "" << QStringList{"a.jpg"} << QStringList();
        QTest::newRow("a file whose name starts with a dash, after --")
            << QStringList{"/usr/bin/pixdock", "--", "-a.jpg"} << false << 0 << "" << QStringList{"-a.jpg"} << QStringList();
        QTest::newRow("--help") << QStringList{"/usr/bin/pixdock", "a.jpg", "--help"} << true << 0
                                << "Usage: pixdock [OPTION...] [FILE...]\n" << QStringList() << QStringList();
        QTest::newRow("--version") << QStringList{"pixdock", "--version"} << true << 0 << "Pixdock 1.0.0\n"
                                   << QStringList() << QStringList();
        QTest::newRow("an unknown option") << QStringList{"pixdock", "--frobnicate", "a.jpg"} << true << 2
                                           << "pixdock: Unknown option 'frobnicate'.\nUsage: pixdock" << QStringList() << QStringList();
        QTest::newRow("a Qt option without its value") << QStringList{"pixdock", "a.jpg", "-style"} << true << 2
                                                       << "pixdock: Missing value after '-style'." << QStringList() << QStringList();
        QTest::newRow("--create-catalogue")
            << QStringList{"pixdock", "--create-catalogue", "postgresql://anna@nas/pics?sslmode=require"} << false << 0
            << "" << QStringList() << QStringList{"create", "postgresql://anna@nas/pics?sslmode=require"};
        QTest::newRow("--copy-catalogue FROM TO")
            << QStringList{"pixdock", "--copy-catalogue", "/home/anna/db.fil", "postgres:///pics"} << false << 0 << ""
            << QStringList() << QStringList{"copy", "/home/anna/db.fil", "postgres:///pics"};
        QTest::newRow("--copy-catalogue without TO")
            << QStringList{"pixdock", "--copy-catalogue", "a.fil"} << true << 2
            << "pixdock: --copy-catalogue takes two catalogues: FROM and TO.\nUsage: pixdock" << QStringList() << QStringList();
        QTest::newRow("--create-catalogue with a file besides")
            << QStringList{"pixdock", "--create-catalogue", "a.fil", "b.jpg"} << true << 2
            << "pixdock: --create-catalogue takes one catalogue." << QStringList() << QStringList();
        QTest::newRow("both catalogue commands")
            << QStringList{"pixdock", "--create-catalogue", "a.fil", "--copy-catalogue", "a.fil", "b.fil"} << true << 2
            << "pixdock: --create-catalogue and --copy-catalogue cannot be given together." << QStringList() << QStringList();
        QTest::newRow("--create-catalogue without its catalogue") << QStringList{"pixdock", "--create-catalogue"} << true
                                                                  << 2 << "pixdock: Missing value" << QStringList() << QStringList();
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, exitAtOnce);
        QFETCH(int, status);
        QFETCH(QString, textStart);
        QFETCH(QStringList, files);
        QFETCH(QStringList, catalogueCommand);
        const CommandLine line = readCommandLine(arguments);
        QCOMPARE(line.exitAtOnce, exitAtOnce);
        QCOMPARE(line.exitStatus, status);
        QCOMPARE(line.text.left(textStart.size()), textStart);
        QCOMPARE(line.toErrorStream, status != 0);
        QCOMPARE(line.files, files);
        QStringList command;
        if (line.catalogueCommand == CommandLine::CatalogueCommand::Create)
            command << QStringLiteral("create") << line.catalogue;
        else if (line.catalogueCommand == CommandLine::CatalogueCommand::Copy)
            command << QStringLiteral("copy") << line.catalogue << line.copyTarget;
        QCOMPARE(command, catalogueCommand);
    }
};

PIXDOCK_REGISTER_TEST(TestCommandLine)
#include "tst_CommandLine.moc"
