// The main window remembers its outer position and size between runs.
#include "MainWindowUnderTest.h"
#include "Twips.h"

using namespace pixdock;

namespace {
// Writes the values (left, top, width, height) when given, and reads back what is stored.
QStringList stored(const QStringList &values = {})
{
    QSettings settings(QStringLiteral("Pixdock"), QStringLiteral("Pixdock"));
    QStringList read;
    for (const char *key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
        if (!values.isEmpty())
            settings.setValue(QStringLiteral("Settings/") + key, values.at(read.size()));
        read << settings.value(QStringLiteral("Settings/") + key).toString();
    }
    return read;
}
} // namespace

class TestMainWindowSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_main.start(false); }
    void cleanup() { QCOMPARE(m_main.reset(), QString()); }

    // Start after start the window comes back with the outer frame, title bar and borders
    // included, that it was closed with: it does not grow by its frame each time. (Also run
    // under a real window manager, whose frame the offscreen platform does not draw.)
    void theOuterFrameStaysTheSameFromStartToStart()
    {
        for (int start = 1; start <= 3; ++start) {
            QTRY_COMPARE(m_main.open()->frameGeometry(), twips::rectToPixels(1000, 1000, 6500, 6500));
            m_main.close();
            test::resetProgramState();
        }
    }

    // The window opens where the stored values say, in decimal twips of its outer frame, and
    // closing stores where it is, maximised too (a moved window reopens there); closing while
    // minimised keeps what was stored. Hand-edited or stale values: one that is no number takes
    // its default, a size far beyond the screen is cut to it, and what is stored on exit is what
    // was on screen. (A place off every screen: TestShellHelpers aRestoredWindowFitsTheScreenItLandsOn.)
    void theStoredPlaceIsShownAndStored_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QRect>("twipsShown"); // empty: fits the screen
        QTest::addColumn<QString>("then");     // what the user does before closing
        for (const char *then : {"move", "maximise", "minimise"})
            QTest::newRow(then) << QStringList{"1500", "1200", "7005", "6000"} << QRect(1500, 1200, 7005, 6000) << then;
        QTest::newRow("MainLeft not a number") << QStringList{"x", "1200", "7005", "6000"} << QRect(1000, 1200, 7005, 6000) << "";
        QTest::newRow("MainHeight not a number") << QStringList{"1500", "1200", "7005", "1e99"} << QRect(1500, 1200, 7005, 6500) << "";
        QTest::newRow("spaces round a fraction") << QStringList{" 1500 ", "1200.6", "7005", "6000"} << QRect(1500, 1201, 7005, 6000) << "";
        QTest::newRow("number followed by text, zero size") << QStringList{"12abc", "inf", "0", "-6000"} << QRect(1000, 1000, 6500, 6500) << "";
        QTest::newRow("larger than the screen") << QStringList{"1000", "1000", "9999999", "9999999"} << QRect() << "";
    }
    void theStoredPlaceIsShownAndStored()
    {
        QFETCH(QStringList, values);
        QFETCH(QRect, twipsShown);
        QFETCH(QString, then);
        stored(values);
        frmMain *w = m_main.open();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry(), &t = twipsShown;
        if (t.isValid())
            QCOMPARE(w->frameGeometry(), twips::rectToPixels(t.x(), t.y(), t.width(), t.height()).translated(screen.topLeft()));
        else
            QTRY_VERIFY(screen.contains(w->frameGeometry()));
        if (!then.isEmpty()) {
            w->move(100, 80);
            w->resize(500, 400);
        }
        if (then == "maximise") {
            w->showMaximized();
            QTRY_VERIFY(w->frameGeometry().width() > twips::toPixels(7005));
        } else if (then == "minimise") {
            w->showMinimized();
            QTRY_VERIFY(w->isMinimized());
        }
        const QRect outer = w->frameGeometry();
        m_main.close();
        // Stored in twips, 15 a pixel.
        const auto inTwips = [](int pixels) { return QString::number(pixels * 15); };
        QCOMPARE(stored(), then == "minimise" ? values
                 : QStringList({inTwips(outer.x()), inTwips(outer.y()), inTwips(outer.width()), inTwips(outer.height())}));
        test::resetProgramState();
        if (then == "move")
            QCOMPARE(m_main.open()->frameGeometry(), outer);
    }

private:
    test::MainWindowUnderTest m_main;
};

PIXDOCK_REGISTER_TEST(TestMainWindowSettings)
#include "tst_frmMainSettings.moc"
