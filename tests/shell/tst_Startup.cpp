// Start-up: the splash's five-second wait, the main window's load, and a failing start.
#include "CatalogueStore.h"
#include "Clock.h"
#include "Locations.h"
#include "MainWindowUnderTest.h"
#include "RunTimeError.h"
#include "Startup.h"
#include "frmOptions.h"
#include "frmSplash.h"

#include <QLabel>
#include <QTimer>

using namespace pixdock;

namespace {
// A monotonic clock that moves only when slept on, by `step` (or the asked time) per sleep.
struct SteppingClock : Clock {
    explicit SteppingClock(qint64 start, int step = 0) : now(start), step(step) {}
    qint64 nowMs() override { return now; }
    void sleepMs(int ms) override { now += step > 0 ? step : ms, longestSleep = std::max(longestSleep, ms); }
    qint64 now;
    int step, longestSleep = 0;
};

bool aSplashShows()
{
    return std::ranges::any_of(QApplication::topLevelWidgets(), [](QWidget *w) { return qobject_cast<frmSplash *>(w) && w->isVisible(); });
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init() { test::resetProgramState(); }
    void cleanup()
    {
        test::resetProgramState();
        test::flushDeletes();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    void theWaitEndsFiveSecondsAfterItBegan_data()
    {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<int>("step");
        QTest::addColumn<qint64>("end");
        QTest::newRow("from zero") << qint64(0) << 0 << qint64(5000);
        // A time of day would wrap at 86 400 000 ms; the monotonic clock runs on.
        QTest::newRow("two seconds before midnight") << qint64(86'398'000) << 0 << qint64(86'403'000);
        QTest::newRow("a coarse clock ends at its first reading past five seconds") << qint64(100) << 3000 << qint64(6100);
    }
    void theWaitEndsFiveSecondsAfterItBegan()
    {
        QFETCH(qint64, start);
        QFETCH(int, step);
        SteppingClock clock(start, step);
        // The wait handles no events: one posted before it is still waiting after it.
        QObject receiver;
        int received = 0;
        QMetaObject::invokeMethod(&receiver, [&received] { ++received; }, Qt::QueuedConnection);
        waitAtLeast(clock, SplashMilliseconds);
        QTEST(clock.now, "end");
        QVERIFY(clock.longestSleep <= 20 && received == 0);
        QCoreApplication::sendPostedEvents(&receiver);
        QCOMPARE(received, 1);
    }

    // The frameless splash names the program, its version, platform and address; clicks and
    // keys do not close it, only start-up's unload removes it.
    void theSplashShowsItsTextsUntilStartUpRemovesIt()
    {
        QPointer<frmSplash> splash = new frmSplash;
        splash->load();
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash) && splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        const auto text = [&splash](const char *name) { return splash->findChild<QLabel *>(name)->text(); };
        QCOMPARE(QStringList({text("lblProductName"), text("lblVersion"), text("lblPlatform"), text("lblCompanyProduct")}),
                 QStringList({"Pixdock", "Version 1.0.0", "Linux Version", "pixdock.example.org"}));
        QVERIFY(!splash->findChild<QLabel *>("picLogo")->pixmap().isNull());
        QTest::mouseClick(splash, Qt::LeftButton);
        QTest::keyClick(splash, Qt::Key_Escape);
        QVERIFY(!splash->close() && splash->isVisible());
        splash->unload();
        test::flushDeletes();
        QVERIFY(splash.isNull());
    }

    // With a catalogue: after the splash's five seconds the main window shows with the panel
    // beside it, and the program's own event loop runs until the main window closes. Without
    // one: the error is shown, the loop never runs, the status says failure, nothing is left.
    void startUp_data()
    {
        QTest::addColumn<bool>("catalogue");
        QTest::newRow("a program folder with its catalogue") << true;
        QTest::newRow("an empty program folder") << false;
    }
    void startUp()
    {
        QFETCH(bool, catalogue);
        test::ProgramFolder folder;
        QTemporaryDir emptyFolder;
        QString expected;
        if (!catalogue) {
            locations::setProgramFolder(emptyFolder.path());
            try {
                catalogue::OpenConnection();
            } catch (const RunTimeError &e) {
                expected = startUpFailureText(e.number(), e.description());
                QVERIFY(expected.contains(QString::number(e.number())) && expected.contains(e.description()));
            }
        }
        SteppingClock clock(0);
        bool loopRan = false;
        const int status = runProgram(clock, [&] {
            loopRan = true;
            QTimer::singleShot(0, qApp, [&] {
                auto &list = WindowList::instance();
                auto *main = qobject_cast<frmMain *>(list.at(0));
                // The panel beside the main window, and the splash stayed its five seconds before.
                [&] { QVERIFY(main && main->isVisible() && frame() == static_cast<Frame *>(main) && list.count() == 2
                              && qobject_cast<frmOptions *>(list.at(1)) && list.at(1)->isVisible() && !gConnection.isEmpty()
                              && !aSplashShows() && clock.now >= SplashMilliseconds); }();
                main ? void(main->close()) : QCoreApplication::exit(7);
            });
            return QCoreApplication::exec();
        });
        locations::setProgramFolder(QString());
        QCOMPARE(QList<bool>({status != 0, loopRan}), QList<bool>({!catalogue, catalogue}));
        QCOMPARE(MessageBox::shownTexts(), catalogue ? QStringList() : QStringList{expected});
        QVERIFY(catalogue || (!expected.isEmpty() && MessageBox::shown().constFirst().title == "Pixdock"
                              && WindowList::instance().count() == 0 && frame() == nullptr));
        test::flushDeletes();
        QVERIFY(!aSplashShows());
    }
};

PIXDOCK_REGISTER_TEST(TestStartup)
#include "tst_Startup.moc"
