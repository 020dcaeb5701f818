// The shell's plain helpers: reading the command line, placing the main window on the screens
// there are, and cascading, tiling and lining up child windows (the
// remainders and edges the two-window journeys through the Window menu do not reach).
#include "CommandLine.h"
#include "MainWindowPlacement.h"
#include "TestRegistry.h"
#include "WindowArrangement.h"

#include <QTest>

using namespace pixdock;
using namespace pixdock::arrangement;
using namespace pixdock::placement;

using Rects = QList<QRect>;
using Sizes = QList<QSize>;

class TestShellHelpers : public QObject
{
    Q_OBJECT
private slots:
    // What the command line asks for: the files to open, or an answer at once ("exit", its
    // status, whether to standard error, and the start of its text). The installed program's
    // test runs --help and --version, the catalogue commands' test runs both commands.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("no argument") << QStringList{"pixdock"} << "files: ";
        QTest::newRow("files in order") << QStringList{"pixdock", "b.jpg", "/x/a b.png"} << "files: b.jpg|/x/a b.png";
        QTest::newRow("Qt's own options go through to Qt")
            << QStringList{"pixdock", "-platform", "offscreen", "a.jpg", "-session", "1x2", "-reverse"} << "files: a.jpg";
        QTest::newRow("a file whose name starts with a dash, after --")
            << QStringList{"/usr/bin/pixdock", "--", "-a.jpg"} << "files: -a.jpg";
        const QString refused = QStringLiteral("exit 2 to errors: pixdock: ");
        QTest::newRow("a Qt option without its value") << QStringList{"pixdock", "a.jpg", "-style"} << refused + "Missing value after '-style'.";
        QTest::newRow("--copy-catalogue without TO") << QStringList{"pixdock", "--copy-catalogue", "a.fil"}
            << refused + "--copy-catalogue takes two catalogues: FROM and TO.\nUsage: pixdock";
        QTest::newRow("--create-catalogue with a file besides") << QStringList{"pixdock", "--create-catalogue", "a.fil", "b.jpg"}
            << refused + "--create-catalogue takes one catalogue.";
        QTest::newRow("both catalogue commands") << QStringList{"pixdock", "--create-catalogue", "a.fil", "--copy-catalogue", "a.fil", "b.fil"}
            << refused + "--create-catalogue and --copy-catalogue cannot be given together.";
        QTest::newRow("--create-catalogue without its catalogue") << QStringList{"pixdock", "--create-catalogue"} << refused + "Missing value";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, outcome);
        const CommandLine line = readCommandLine(arguments);
        const QString actual = line.exitAtOnce ? QStringLiteral("exit %1%2: %3").arg(line.exitStatus)
                                                     .arg(line.toErrorStream ? " to errors" : "", line.text)
                                               : "files: " + line.files.join('|');
        QVERIFY2(line.exitAtOnce ? actual.startsWith(outcome) : actual == outcome, qPrintable(actual));
    }

    // Two screens side by side; the first has a panel 30 pixels high along its bottom.
    void aRestoredWindowFitsTheScreenItLandsOn_data()
    {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("partly off the right edge comes inside") << QRect(700, 100, 433, 433) << QRect(367, 100, 433, 433);
        QTest::newRow("over the panel comes above it") << QRect(100, 300, 433, 433) << QRect(100, 137, 433, 433);
        QTest::newRow("corner on the first screen fits the first") << QRect(700, 500, 433, 433) << QRect(367, 137, 433, 433);
        QTest::newRow("corner off every screen, mostly on the second, fits the second") << QRect(700, -100, 433, 433) << QRect(800, 0, 433, 433);
        QTest::newRow("beyond the second screen comes back") << QRect(5000, 50, 433, 433) << QRect(67, 67, 433, 433);
        QTest::newRow("title bar above the screen comes down") << QRect(100, -50, 433, 433) << QRect(100, 0, 433, 433);
        QTest::newRow("larger than the screen shrinks to it, corner on it") << QRect(67, 67, 32767, 32767) << QRect(0, 0, 800, 570);
        QTest::newRow("larger than the second screen shrinks to the second") << QRect(1000, 50, 5000, 5000) << QRect(800, 0, 1024, 768);
        QTest::newRow("too tall only keeps its width") << QRect(100, 20, 433, 2000) << QRect(100, 0, 433, 570);
    }
    void aRestoredWindowFitsTheScreenItLandsOn()
    {
        QFETCH(QRect, outer);
        const QList<ScreenArea> screens = {{{0, 0, 800, 600}, {0, 0, 800, 570}}, {{800, 0, 1024, 768}, {800, 0, 1024, 768}}};
        QTEST(fitOnScreen(outer, screens, QRect(0, 0, 800, 570)), "expected");
    }

    // "tile v"/"tile h" take `sizes.size()` windows; "cascade" steps by 30; "icons" lines up.
    void arrangements_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<Rects>("expected");
        const Sizes five(5);
        QTest::newRow("three columns, edges meet") << "tile v" << QRect(0, 0, 100, 50) << Sizes(3)
            << Rects{{0, 0, 33, 50}, {33, 0, 33, 50}, {66, 0, 34, 50}};
        QTest::newRow("five vertical: last column takes three") << "tile v" << QRect(10, 20, 600, 300) << five
            << Rects{{10, 20, 300, 150}, {10, 170, 300, 150}, {310, 20, 300, 100}, {310, 120, 300, 100}, {310, 220, 300, 100}};
        QTest::newRow("five horizontal: last row takes three") << "tile h" << QRect(0, 0, 300, 600) << five
            << Rects{{0, 0, 150, 300}, {150, 0, 150, 300}, {0, 300, 100, 300}, {100, 300, 100, 300}, {200, 300, 100, 300}};
        QTest::newRow("tiles in an empty area") << "tile v" << QRect() << Sizes(2) << Rects{};
        QTest::newRow("cascade too large: shrunk to what is left") << "cascade" << QRect(0, 0, 600, 400)
            << Sizes{{800, 500}, {700, 300}} << Rects{{0, 0, 600, 400}, {30, 30, 570, 300}};
        QTest::newRow("cascade up to the middle, past it back to the corner") << "cascade" << QRect(120, 0, 120, 120)
            << Sizes(4, {40, 40}) << Rects{{120, 0, 40, 40}, {150, 30, 40, 40}, {180, 60, 40, 40}, {120, 0, 40, 40}};
        QTest::newRow("cascade in an empty area") << "cascade" << QRect() << Sizes{{10, 10}} << Rects{};
        // Icons: the rectangle of each, then the area left above them.
        QTest::newRow("the fourth icon starts a row above") << "icons" << QRect(0, 0, 300, 200) << Sizes(4, {100, 20})
            << Rects{{0, 180, 100, 20}, {100, 180, 100, 20}, {200, 180, 100, 20}, {0, 160, 100, 20}, {0, 0, 300, 160}};
        QTest::newRow("icons of a row share its bottom edge") << "icons" << QRect(5, 10, 300, 100)
            << Sizes{{100, 20}, {100, 30}} << Rects{{5, 90, 100, 20}, {105, 80, 100, 30}, {5, 10, 300, 70}};
        QTest::newRow("an icon wider than the area still gets a row") << "icons" << QRect(0, 0, 50, 200)
            << Sizes{{80, 20}, {80, 20}} << Rects{{0, 180, 80, 20}, {0, 160, 80, 20}, {0, 0, 50, 160}};
        QTest::newRow("icons filling everything leave the whole area") << "icons" << QRect(0, 0, 100, 20)
            << Sizes{{100, 20}} << Rects{{0, 0, 100, 20}, {0, 0, 100, 20}};
    }
    void arrangements()
    {
        QFETCH(QString, how);
        QFETCH(QRect, area);
        QFETCH(Sizes, sizes);
        Rects placed = how == "cascade" ? cascade(area, sizes, 30) : how == "icons" ? Rects()
                       : tile(area, int(sizes.size()), how == "tile v" ? Tiling::Vertical : Tiling::Horizontal);
        if (how == "icons") {
            const QList<QPoint> corners = lineUpIcons(area, sizes);
            for (int i = 0; i < corners.size(); ++i)
                placed << QRect(corners.at(i), sizes.at(i));
            placed << areaAboveIcons(area, sizes);
        }
        QTEST(placed, "expected");
    }
};

PIXDOCK_REGISTER_TEST(TestShellHelpers)
#include "tst_ShellHelpers.moc"
