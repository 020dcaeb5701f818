// The main window remembers its outer position and size between runs.
#include "MainWindowUnderTest.h"
#include "Twips.h"


using namespace pixdock;

namespace {
// The keys the settings file holds, in the order left, top, width, height.
const QStringList Keys = {"Settings/MainLeft", "Settings/MainTop", "Settings/MainWidth", "Settings/MainHeight"};

QStringList stored(const QStringList &values = {})
{
    QSettings settings(QStringLiteral("Pixdock"), QStringLiteral("Pixdock"));
    QStringList read;
    for (int i = 0; i < Keys.size(); ++i) {
        if (!values.isEmpty())
            settings.setValue(Keys.at(i), values.at(i));
        read << settings.value(Keys.at(i)).toString();
    }
    return read;
}

QStringList inTwips(const QRect &r)
{
    return {QString::number(r.x() * 15), QString::number(r.y() * 15), QString::number(r.width() * 15),
            QString::number(r.height() * 15)};
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
    void cleanup() { QCOMPARE(m_main.reset(), QString()); }

    // Start after start the window comes back with the outer frame, title bar and borders
    // included, that it was closed with: it does not grow by its frame each time.
    void theOuterFrameStaysTheSameFromStartToStart()
    {
        for (int start = 1; start <= 3; ++start) {
            QTRY_COMPARE(m_main.open()->frameGeometry(), twips::rectToPixels(1000, 1000, 6500, 6500));
            m_main.close();
            test::resetProgramState();
        }
    }

    // Closing stores the outer geometry as decimal twips, maximised too, and the next run opens
    // there; closing while minimised keeps what was stored.
    void closingStoresTheOuterGeometry_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("moved and resized") << "normal";
        QTest::newRow("maximised") << "maximised";
        QTest::newRow("minimised") << "minimised";
    }
    void closingStoresTheOuterGeometry()
    {
        QFETCH(QString, state);
        const QStringList before = stored({"1500", "1200", "7000", "6000"});
        frmMain *w = m_main.open();
        w->move(100, 80);
        w->resize(500, 400);
        if (state == "maximised") {
            w->showMaximized();
            QTRY_VERIFY(w->frameGeometry().width() > twips::toPixels(6500));
        } else if (state == "minimised") {
            w->showMinimized();
            QTRY_VERIFY(w->isMinimized());
        }
        const QRect outer = w->frameGeometry();
        m_main.close();
        QCOMPARE(stored(), state == "minimised" ? before : inTwips(outer));
        test::resetProgramState();
        if (state == "normal")
            QCOMPARE(m_main.open()->frameGeometry(), outer);
    }

    // Hand-edited or stale values: a value that is no number takes its default, a place off every
    // screen comes back to the primary one, a size far beyond the screen is cut to it. What is
    // stored on exit is what was on screen.
    void aStoredPlaceThatCannotBeShownIsMended_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QRect>("twipsShown"); // empty: fits the screen
        QTest::newRow("MainLeft not a number") << QStringList{"x", "1200", "7005", "6000"} << QRect(1000, 1200, 7005, 6000);
        QTest::newRow("MainTop not a number") << QStringList{"1500", "x", "7005", "6000"} << QRect(1500, 1000, 7005, 6000);
        QTest::newRow("MainWidth not a number") << QStringList{"1500", "1200", "", "6000"} << QRect(1500, 1200, 6500, 6000);
        QTest::newRow("MainHeight not a number") << QStringList{"1500", "1200", "7005", "1e99"} << QRect(1500, 1200, 7005, 6500);
        QTest::newRow("spaces round a fraction") << QStringList{" 1500 ", "1200.6", "7005", "6000"} << QRect(1500, 1201, 7005, 6000);
        QTest::newRow("number followed by text, zero size") << QStringList{"12abc", "inf", "0", "-6000"} << QRect(1000, 1000, 6500, 6500);
        QTest::newRow("off every screen") << QStringList{"300000", "-90000", "6000", "5000"} << QRect(1000, 1000, 6000, 5000);
        QTest::newRow("larger than the screen") << QStringList{"1000", "1000", "9999999", "9999999"} << QRect();
    }
    void aStoredPlaceThatCannotBeShownIsMended()
    {
        QFETCH(QStringList, values);
        QFETCH(QRect, twipsShown);
        stored(values);
        frmMain *w = m_main.open();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect &t = twipsShown;
        if (t.isValid())
            QCOMPARE(w->frameGeometry(), twips::rectToPixels(t.x(), t.y(), t.width(), t.height()).translated(screen.topLeft()));
        else
            QTRY_VERIFY(screen.contains(w->frameGeometry()));
        const QRect outer = w->frameGeometry();
        m_main.close();
        QCOMPARE(stored(), inTwips(outer));
    }

private:
    test::MainWindowUnderTest m_main;
};

PIXDOCK_REGISTER_TEST(TestMainWindowSettings)
#include "tst_frmMainSettings.moc"
