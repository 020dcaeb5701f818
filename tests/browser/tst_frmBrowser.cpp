// The browser window against a real web view and pages served from 127.0.0.1.
#include "BusyState.h"
#include "DarkTheme.h"
#include "HostFrame.h"
#include "LocalWebServer.h"
#include "MessageBox.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "UserInput.h"
#include "frmBrowser.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <unistd.h>

using namespace pixdock;

namespace {

// Chromium refuses to run as root with its sandbox on; set before the application starts
// so the tests also run outside CTest.
const bool g_sandboxOff = geteuid() != 0 || qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

// Counts the navigations the view actually starts, by address.
struct CountingPage : QWebEnginePage {
    using QWebEnginePage::QWebEnginePage;
    QHash<QUrl, int> navigations;
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame)
            navigations[url] += 1;
        return true;
    }
};

// The relative lightness of a CSS colour "rgb(r, g, b)" or "rgba(r, g, b, a)".
double lightness(const QString &css)
{
    const QStringList parts = css.section('(', 1).section(')', 0, 0).split(',') << "" << "" << "";
    return (0.2126 * parts.at(0).toDouble() + 0.7152 * parts.at(1).toDouble() + 0.0722 * parts.at(2).toDouble()) / 255.0;
}

} // namespace

class TestBrowserWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::HostFrame> m_frame;
    std::unique_ptr<test::LocalWebServer> m_server;
    CountingPage *m_page = nullptr; // the counting page of the window opened last

    frmBrowser *openBrowser(const QString &start)
    {
        auto *window = new frmBrowser;
        view(window)->setPage(m_page = new CountingPage(view(window)));
        window->StartingAddress = start;
        window->load();
        return window;
    }
    static QComboBox *addressBox(frmBrowser *w) { return w->findChild<QComboBox *>("cboAddress"); }
    static QTimer *busyTimer(frmBrowser *w) { return w->findChild<QTimer *>("timTimer"); }
    static QWebEngineView *view(frmBrowser *w) { return w->findChild<QWebEngineView *>("brwWebBrowser"); }
    static QStringList entries(frmBrowser *w)
    {
        QStringList list;
        for (int i = 0; i < addressBox(w)->count(); ++i)
            list << addressBox(w)->itemText(i);
        return list;
    }
    // Clicks into the address box, selects what it holds, types over it and presses Enter,
    // every key going where the keyboard sends it.
    static bool typeAddressAndPressEnter(frmBrowser *w, const QUrl &url, Qt::Key enter = Qt::Key_Return)
    {
        test::clickOn(addressBox(w)->lineEdit());
        return QApplication::focusWidget() == addressBox(w) && test::pressKey(Qt::Key_A, Qt::ControlModifier)
            && test::typeText(url.toString())
            && test::pressKey(enter, enter == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    }
    static void waitUntilSettled(frmBrowser *w, const QString &title)
    {
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), title, 15000);
        QTRY_VERIFY(!busyTimer(w)->isActive());
    }

private slots:
    void init()
    {
        m_frame = std::make_unique<test::HostFrame>();
        m_server = std::make_unique<test::LocalWebServer>(
            QHash<QString, QString>{{"/a.html", "Page A"}, {"/b.html", "Page B"}, {"/slow.html", "Slow Page"}});
    }
    void cleanup()
    {
        m_server->release();
        QCOMPARE(MessageBox::shownTexts(), QStringList());
        test::resetProgramState();
        m_frame.reset();
        m_server.reset();
        test::flushDeletes();
    }

    // A visit in one window. The first page held back by the server shows "Working...", then
    // its title; stopped during the next load, the title and address of the page still shown
    // come back. Each way of going to an address (typed with Enter or keypad Enter, new or
    // listed, or chosen from the list) navigates once and leaves the address at the top of the
    // list, once. The toolbar moves through the history and to the shipped pages; Refresh asks
    // the server again. The shipped pages are drawn in the desktop theme's colours: with a dark
    // theme, light words on a dark page, every word readable.
    void aVisitByAddressListAndToolbarInTheThemesColours_data() { test::themeRows(); }
    void aVisitByAddressListAndToolbarInTheThemesColours()
    {
        QFETCH(bool, dark);
        const test::ThemeForTest theme(dark);
        const QUrl slow = m_server->url("/slow.html"), a = m_server->url("/a.html"), b = m_server->url("/b.html");
        frmBrowser *w = nullptr;
        for (const QUrl &held : {slow, a}) {
            m_server->holdBack(held.path());
            if (w) {
                QVERIFY(typeAddressAndPressEnter(w, held));
            } else {
                w = openBrowser(slow.toString());
                QVERIFY(busyTimer(w)->isActive());
            }
            QTRY_COMPARE_WITH_TIMEOUT(m_server->heldRequests(), 1, 15000);
            QTRY_COMPARE(w->windowTitle(), QStringLiteral("Working..."));
            if (held == a) {
                w->findChild<QToolBar *>("tbToolBar")->findChild<QAction *>("Stop")->trigger();
                QVERIFY(!busyTimer(w)->isActive());
            }
            m_server->release();
            waitUntilSettled(w, QStringLiteral("Slow Page"));
            QTRY_COMPARE(view(w)->url(), slow);
            QCOMPARE(entries(w), QStringList({slow.toString()}));
        }

        // Each step: how the address is given, the address, and the list afterwards.
        const QList<std::tuple<Qt::Key, QUrl, QList<QUrl>>> ways = {{Qt::Key_Return, a, {a, slow}}, {Qt::Key_Enter, b, {b, a, slow}},
            {Qt::Key_Return, a, {a, b, slow}}, {Qt::Key_Down, b, {b, a, slow}}}; // Down: from the list
        for (const auto &[how, to, listed] : ways) {
            m_page->navigations.clear();
            if (how == Qt::Key_Down) {
                addressBox(w)->showPopup();
                QAbstractItemView *list = addressBox(w)->view();
                QTRY_VERIFY(list->isVisible());
                list->setCurrentIndex(list->model()->index(1, 0));
                QTest::keyClick(list, Qt::Key_Return);
                // The offscreen platform leaves the closed list active; a desktop gives it back.
                w->window()->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(w->window()));
            } else {
                QVERIFY(typeAddressAndPressEnter(w, to, how));
            }
            waitUntilSettled(w, to == a ? QStringLiteral("Page A") : QStringLiteral("Page B"));
            QCOMPARE(m_page->navigations, (QHash<QUrl, int>{{to, 1}}));
            QCOMPARE(entries(w), QUrl::toStringList(listed));
        }

        const QList<QPair<QString, QString>> steps = {
            {"Back", "Page A"}, {"Forward", "Page B"}, {"Refresh", "Page B"}, {"Home", "Pixdock Home"},
            {"Search", "Pixdock Search"}, {"Refresh", "Pixdock Search"}, {"Back", "Pixdock Home"},
            {"qrc:/web/manual/keyboard.html", "Keyboard shortcuts"}};
        for (const auto &[key, title] : steps) {
            const int asked = m_server->requests("/b.html");
            if (key.startsWith("qrc:"))
                QVERIFY(typeAddressAndPressEnter(w, QUrl(key)));
            else
                w->findChild<QToolBar *>("tbToolBar")->findChild<QAction *>(key)->trigger();
            QVERIFY2(busyTimer(w)->isActive(), qPrintable(key));
            waitUntilSettled(w, title);
            if (title == QLatin1String("Page B"))
                QTRY_COMPARE(m_server->requests("/b.html"), asked + 1);
            if (view(w)->url().scheme() != "qrc")
                continue;
            // Each text element's colour and the background it stands on, one a line.
            QString colours;
            view(w)->page()->runJavaScript(QStringLiteral(
                "Array.from(document.querySelectorAll('h1, h2, p, li, td, a, b')).map(e => {"
                "  let p = e; while (p && ['rgba(0, 0, 0, 0)', 'transparent'].includes(getComputedStyle(p).backgroundColor))"
                "    p = p.parentElement;"
                "  return getComputedStyle(e).color + '|' + (p ? getComputedStyle(p).backgroundColor : 'rgb(255, 255, 255)');"
                "}).join('\\n')"), [&colours](const QVariant &v) { colours = v.toString(); });
            QTRY_VERIFY_WITH_TIMEOUT(!colours.isEmpty(), 15000);
            for (const QString &line : colours.split('\n')) {
                const double ink = lightness(line.section('|', 0, 0));
                QVERIFY2(qAbs(ink - lightness(line.section('|', 1))) >= 0.4 && (!dark || ink > 0.6), qPrintable(title + ": " + line));
            }
        }
        QCOMPARE(entries(w).first(), QStringLiteral("qrc:/web/manual/keyboard.html"));
    }

    // When the window says "Working...": r = navigation requested at 0, s = load started,
    // f = load finished, u = address changed (a same-document navigation), x = stopped.
    void busyRule_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<qint64>("askedAt");
        QTest::addColumn<bool>("busy");
        QTest::newRow("requested, nothing reported yet") << "r" << 5LL << true;
        QTest::newRow("requested, view never reports") << "r" << browser::BusyState::RequestGraceMs << false;
        QTest::newRow("started, slow server") << "rs" << 60000LL << true;
        QTest::newRow("finished") << "rsf" << 5LL << false;
        QTest::newRow("same-document navigation") << "ru" << 5LL << false;
        QTest::newRow("address committed during a load") << "rsu" << 5LL << true;
        QTest::newRow("stopped") << "rsx" << 5LL << false;
    }
    void busyRule()
    {
        QFETCH(QString, events);
        QFETCH(qint64, askedAt);
        browser::BusyState state;
        for (QChar e : events)
            e == 'r' ? state.navigationRequested(0) : e == 's' ? state.loadStarted() : e == 'f' ? state.loadFinished()
                : e == 'u' ? state.addressChanged() : state.stopped();
        QTEST(state.isBusy(askedAt), "busy");
    }

    // No starting address: nothing is asked for, the window stands beside the panel at its
    // height; made very small and grown again it raises nothing (cleanup checks no message).
    void anEmptyStartingAddressOpensNothingBesideThePanel()
    {
        frmBrowser *w = openBrowser(QString());
        QCoreApplication::processEvents();
        QVERIFY(!busyTimer(w)->isActive() && addressBox(w)->count() == 0 && m_page->navigations.isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral("Browse The Internet"));
        QCOMPARE(QList<int>({w->leftTwips(), w->topTwips(), w->heightTwips()}),
                 QList<int>({m_frame->hostPanel()->widthTwips(), 0, m_frame->hostPanel()->heightTwips()}));
        w->subWindow()->resize(20, 20);
        QCoreApplication::processEvents();
        w->setClientSizeTwips(9000, 6000);
        QCoreApplication::processEvents();
        QVERIFY(view(w)->width() > 300 && view(w)->height() > 200);
    }
};

PIXDOCK_REGISTER_TEST(TestBrowserWindow)
#include "tst_frmBrowser.moc"
