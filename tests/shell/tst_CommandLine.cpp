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
        QTest::newRow("no argument") << QStringList{"pixdock"} << false << 0 << "" << QStringList();
        QTest::newRow("files in order") << QStringList{"pixdock", "b.jpg", "/x/a b.png"} << false << 0 << ""
                                        << QStringList{"b.jpg", "/x/a b.png"};
        QTest::newRow("Qt's own options go through to Qt")
            << QStringList{"pixdock", "-platform", "offscreen", "a.jpg", "-session", "1x2", "-reverse"} << false << 0
            << "" << QStringList{"a.jpg"};
        QTest::newRow("a file whose name starts with a dash, after --")
            << QStringList{"/usr/bin/pixdock", "--", "-a.jpg"} << false << 0 << "" << QStringList{"-a.jpg"};
        QTest::newRow("--help") << QStringList{"/usr/bin/pixdock", "a.jpg", "--help"} << true << 0
                                << "Usage: pixdock [OPTION...] [FILE...]\n" << QStringList();
        QTest::newRow("-h") << QStringList{"pixdock", "-h"} << true << 0 << "Usage: pixdock" << QStringList();
        QTest::newRow("--version") << QStringList{"pixdock", "--version"} << true << 0 << "Pixdock 1.0.0\n"
                                   << QStringList();
        QTest::newRow("an unknown option") << QStringList{"pixdock", "--frobnicate", "a.jpg"} << true << 2
                                           << "pixdock: Unknown option 'frobnicate'.\nUsage: pixdock" << QStringList();
        QTest::newRow("a Qt option without its value") << QStringList{"pixdock", "a.jpg", "-style"} << true << 2
                                                       << "pixdock: Missing value after '-style'." << QStringList();
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, exitAtOnce);
        QFETCH(int, status);
        QFETCH(QString, textStart);
        QFETCH(QStringList, files);
        const CommandLine line = readCommandLine(arguments);
        QCOMPARE(line.exitAtOnce, exitAtOnce);
        QCOMPARE(line.exitStatus, status);
        QCOMPARE(line.text.left(textStart.size()), textStart);
        QCOMPARE(line.toErrorStream, status != 0);
        QCOMPARE(line.files, files);
    }
};

PIXDOCK_REGISTER_TEST(TestCommandLine)
#include "tst_CommandLine.moc"
