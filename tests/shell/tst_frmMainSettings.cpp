// The main window remembers its outer position and size between runs.
#include "EventLoopWatchdog.h"
#include "MainWindowUnderTest.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "Twips.h"

#include <QTest>

using namespace pixdock;

namespace {
// The keys the settings file holds, in the order left, top, width, height.
const QStringList Keys = {"Settings/MainLeft", "Settings/MainTop", "Settings/MainWidth", "Settings/MainHeight"};

void store(const QString &left, const QString &top, const QString &width, const QString &height)
{
    QSettings settings(QStringLiteral("Pixdock"), QStringLiteral("Pixdock"));
    const QStringList values = {left, top, width, height};
    for (int i = 0; i < Keys.size(); ++i)
        settings.setValue(Keys.at(i), values.at(i));
}

QStringList stored()
{
    QSettings settings(QStringLiteral("Pixdock"), QStringLiteral("Pixdock"));
    QStringList values;
    for (const QString &key : Keys)
        values << settings.value(key).toString();
    return values;
}
} // namespace

class TestMainWindowSettings : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::resetProgramState();
        test::MainWindowUnderTest::clearSettings();
    }
    void cleanup()
    {
        test::resetProgramState();
        m_main.reset();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    // Start after start the window comes back with the outer frame, title bar and borders
    // included, that it was closed with: it does not grow by its frame each time.
    void theOuterFrameStaysTheSameFromStartToStart()
    {
        const QRect firstRun = twips::rectToPixels(1000, 1000, 6500, 6500);
        for (int start = 1; start <= 3; ++start) {
            frmMain *w = m_main.open();
            QTRY_COMPARE(w->frameGeometry(), firstRun);
            m_main.close();
            test::resetProgramState();
        }
    }

    void closingStoresTheOuterGeometryAsDecimalTwips()
    {
        frmMain *w = m_main.open();
        w->move(100, 80);
        w->resize(500, 400);
        const QRect outer = w->frameGeometry();
        m_main.close();
        QCOMPARE(stored(), QStringList({QString::number(outer.x() * 15), QString::number(outer.y() * 15),
                                        QString::number(outer.width() * 15),
                                        QString::number(outer.height() * 15)}));
        // The next run opens where this one ended.
        test::resetProgramState();
        QCOMPARE(m_main.open()->frameGeometry(), outer);
    }

    void closingWhileMinimisedKeepsTheStoredValues()
    {
        store("1500", "1200", "7000", "6000");
        frmMain *w = m_main.open();
        w->move(200, 150);
        w->showMinimized();
        QTRY_VERIFY(w->isMinimized());
        m_main.close();
        QCOMPARE(stored(), QStringList({"1500", "1200", "7000", "6000"}));
    }

    void aMaximisedWindowStoresItsMaximisedGeometry()
    {
        frmMain *w = m_main.open();
        w->showMaximized();
        QTRY_VERIFY(w->isMaximized());
        QTRY_VERIFY(w->frameGeometry().width() > twips::toPixels(6500));
        const QRect outer = w->frameGeometry();
        m_main.close();
        QCOMPARE(stored().at(2), QString::number(outer.width() * 15));
        QCOMPARE(stored().at(3), QString::number(outer.height() * 15));
    }

    // Hand-edited or stale values: a value that is no number takes its default, a place off every
    // screen comes back to the primary one, a size just under the cut-off for nonsense fits the
    // screen. The start stays quick, and what is stored on exit is what was on screen.
    void aStoredPlaceThatCannotBeShownIsMended_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QRect>("twipsShown"); // empty: fits the screen
        QTest::newRow("MainLeft not a number") << QStringList{"x", "1200", "7005", "6000"} << QRect(1000, 1200, 7005, 6000);
        QTest::newRow("MainTop not a number") << QStringList{"1500", "x", "7005", "6000"} << QRect(1500, 1000, 7005, 6000);
        QTest::newRow("MainWidth not a number") << QStringList{"1500", "1200", "", "6000"} << QRect(1500, 1200, 6500, 6000);
        QTest::newRow("MainHeight not a number") << QStringList{"1500", "1200", "7005", "1e99"} << QRect(1500, 1200, 7005, 6500);
        QTest::newRow("off every screen") << QStringList{"300000", "-90000", "6000", "5000"} << QRect(1000, 1000, 6000, 5000);
        QTest::newRow("larger than the screen") << QStringList{"1000", "1000", "9999999", "9999999"} << QRect();
    }
    void aStoredPlaceThatCannotBeShownIsMended()
    {
        QFETCH(QStringList, values);
        QFETCH(QRect, twipsShown);
        store(values.at(0), values.at(1), values.at(2), values.at(3));
        test::EventLoopWatchdog watchdog;
        watchdog.start();
        frmMain *w = m_main.open();
        QTest::qWait(10);
        watchdog.stop();
        QVERIFY2(watchdog.withinLimit(test::stallLimitMs()), qPrintable(watchdog.report()));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        if (twipsShown.isValid())
            QCOMPARE(w->frameGeometry(), twips::rectToPixels(twipsShown.x(), twipsShown.y(), twipsShown.width(),
                                                             twipsShown.height()).translated(screen.topLeft()));
        else
            QTRY_VERIFY(screen.contains(w->frameGeometry()));
        const QRect outer = w->frameGeometry();
        m_main.close();
        QCOMPARE(stored(), QStringList({QString::number(outer.x() * 15), QString::number(outer.y() * 15),
                                        QString::number(outer.width() * 15), QString::number(outer.height() * 15)}));
    }

private:
    test::MainWindowUnderTest m_main;
};

PIXDOCK_REGISTER_TEST(TestMainWindowSettings)
#include "tst_frmMainSettings.moc"
