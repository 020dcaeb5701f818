// The main window remembers its outer position and size between runs.
#include "EventLoopWatchdog.h"
#include "MainWindowUnderTest.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "Twips.h"

#include <QTest>

using namespace pixdock;

namespace {
QSettings *openSettings()
{
    auto *settings = new QSettings(placement::organisation(), placement::application());
    settings->beginGroup(placement::group());
    return settings;
}

void store(const QString &left, const QString &top, const QString &width, const QString &height)
{
    std::unique_ptr<QSettings> settings(openSettings());
    settings->setValue(placement::KeyLeft, left);
    settings->setValue(placement::KeyTop, top);
    settings->setValue(placement::KeyWidth, width);
    settings->setValue(placement::KeyHeight, height);
}

QStringList stored()
{
    std::unique_ptr<QSettings> settings(openSettings());
    QStringList values;
    for (const QString &key :
         {placement::KeyLeft, placement::KeyTop, placement::KeyWidth, placement::KeyHeight})
        values << settings->value(key).toString();
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

    void firstRunOpensAtTheDefaultOuterGeometry()
    {
        frmMain *w = m_main.open();
        QCOMPARE(w->frameGeometry(), twips::rectToPixels(1000, 1000, 6500, 6500));
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

    void aValueThatIsNoNumberTakesItsDefault_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("MainLeft") << 0;
        QTest::newRow("MainTop") << 1;
        QTest::newRow("MainWidth") << 2;
        QTest::newRow("MainHeight") << 3;
    }
    void aValueThatIsNoNumberTakesItsDefault()
    {
        QFETCH(int, which);
        QStringList values = {"1500", "1200", "7005", "6000"};
        values[which] = QStringLiteral("not a number");
        store(values.at(0), values.at(1), values.at(2), values.at(3));
        const int defaults[] = {1000, 1000, 6500, 6500};
        int expected[] = {1500, 1200, 7005, 6000};
        expected[which] = defaults[which];
        QCOMPARE(m_main.open()->frameGeometry(),
                 twips::rectToPixels(expected[0], expected[1], expected[2], expected[3]));
    }

    void aPositionOffEveryScreenComesBackToThePrimaryScreen()
    {
        store("300000", "-90000", "6000", "5000");
        frmMain *w = m_main.open();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(w->frameGeometry().topLeft(), screen.topLeft() + twips::pointToPixels(1000, 1000));
        QCOMPARE(w->frameGeometry().size(), twips::sizeToPixels(6000, 5000));
    }

    // Hand-edited values just under the cut-off for nonsense: the window fits the screen, title
    // bar on it, the start is quick, and what is stored on exit is what was on screen.
    void anOversizedSettingFitsTheScreenAndIsStoredAsShown()
    {
        store("1000", "1000", "9999999", "9999999");
        test::EventLoopWatchdog watchdog;
        watchdog.start();
        frmMain *w = m_main.open();
        QTest::qWait(10);
        watchdog.stop();
        QVERIFY2(watchdog.withinLimit(test::stallLimitMs()), qPrintable(watchdog.report()));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTRY_VERIFY2(screen.contains(w->frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2 %3 x %4")
                                    .arg(w->frameGeometry().x())
                                    .arg(w->frameGeometry().y())
                                    .arg(w->frameGeometry().width())
                                    .arg(w->frameGeometry().height())));
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
