// The web browser module loaded on first use: the real module opens a browser window on the
// home page inside the real main window; a missing or broken module is reported and nothing opens.
#include "BrowserModule.h"
#include "Locations.h"
#include "MainWindowUnderTest.h"

#include <QScopeGuard>

#include <unistd.h>

using namespace pixdock;

namespace {
// Chromium refuses to run as root with its sandbox on; set before the application starts
// so the tests also run outside CTest.
const bool g_sandboxOff = geteuid() != 0 || qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
const QString NotAvailable = QStringLiteral("The web browser is not available: ");
} // namespace

class TestBrowserModule : public test::MainWindowTest
{
    Q_OBJECT
private slots:

    // The module as built beside the program opens browser windows on the home page in the
    // main window's child area, entered in the program's own window list; a file of that name
    // that is no library, or no module beside the program for View > Web Browser: the message
    // says why, and nothing opens.
    void theModuleOpensBrowserWindowsOrSaysWhyNot_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("throughMenu");
        QTest::newRow("the module built beside the program") << QByteArray("built") << false;
        QTest::newRow("not a library") << QByteArray("not a shared library\n") << false;
        QTest::newRow("View > Web Browser, no module beside the program") << QByteArray() << true;
    }
    void theModuleOpensBrowserWindowsOrSaysWhyNot()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, throughMenu);
        QTemporaryDir folder;
        if (!contents.isEmpty() && contents != "built")
            test::writeBytes(folder.path(), browser_module::fileName(), contents);
        const QString from = contents == "built" ? QStringLiteral(PIXDOCK_BROWSER_MODULE_DIR) : folder.path();
        const int before = WindowList::instance().count();
        auto restore = qScopeGuard([was = locations::executableFolder()] { locations::setExecutableFolder(was); });
        for (int opened = 1; opened <= (contents == "built" ? 2 : 1); ++opened) {
            if (throughMenu) {
                locations::setExecutableFolder(from);
                choose("mnuViewWebBrowser");
            }
            QWidget *window = throughMenu ? nullptr : browser_module::openBrowserWindow(from);
            if (contents != "built") {
                QVERIFY(!window && MessageBox::shown().size() == 1 && WindowList::instance().count() == before);
                const auto &message = MessageBox::shown().constFirst();
                QVERIFY2(message.text.startsWith(NotAvailable) && message.text.size() > NotAvailable.size()
                             && message.icon == MessageBox::Icon::Critical, qPrintable(message.text));
                continue;
            }
            QCOMPARE(window->metaObject()->className(), "pixdock::frmBrowser");
            QCOMPARE(WindowList::instance().indexOf(window), before + opened - 1);
            QVERIFY(main()->childArea()->isAncestorOf(window));
            QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Pixdock Home"), 30000);
            QCOMPARE(window->findChild<QWidget *>("brwWebBrowser")->property("url").toUrl().fileName(), "home.html");
        }
    }
};

PIXDOCK_REGISTER_TEST(TestBrowserModule)
#include "tst_BrowserModule.moc"
