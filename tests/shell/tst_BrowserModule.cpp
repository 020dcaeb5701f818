// The web browser module loaded on first use: the real module opens a browser window on the
// home page inside the real main window; a missing or broken module is reported and nothing opens.
#include "BrowserModule.h"
#include "Locations.h"
#include "MainWindowUnderTest.h"
#include "MessageBox.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <unistd.h>

using namespace pixdock;

namespace {

// Chromium refuses to run as root with its sandbox on; set before the application starts
// so the tests also run outside CTest.
const bool g_sandboxOff = [] {
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return true;
}();

const QString NotAvailable = QStringLiteral("The web browser is not available: ");

int childWindows(frmMain *main)
{
    return int(main->childArea()->subWindowList().size());
}

} // namespace

class TestBrowserModule : public QObject
{
    Q_OBJECT
    test::MainWindowUnderTest m_main;

private slots:
    void init()
    {
        test::resetProgramState();
        test::MainWindowUnderTest::clearSettings();
        m_main.open();
    }
    void cleanup()
    {
        test::resetProgramState();
        m_main.reset();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    // The module as built beside the program: a browser window in the main window's child
    // area, showing the home page, and a second one beside it from the module already loaded.
    void moduleOpensBrowserWindowsOnTheHomePage()
    {
        frmMain *main = m_main.window();
        const int before = childWindows(main);
        for (int opened = 1; opened <= 2; ++opened) {
            QWidget *window = browser_module::openBrowserWindow(QStringLiteral(PIXDOCK_BROWSER_MODULE_DIR));
            QVERIFY(window);
            QCOMPARE(window->metaObject()->className(), "pixdock::frmBrowser");
            QCOMPARE(childWindows(main), before + opened);
            QVERIFY(qobject_cast<QMdiSubWindow *>(window->parentWidget()));
            // The module enters its windows in the program's own list, not in a copy of its own.
            QVERIFY(WindowList::instance().indexOf(window) >= 2);

            QWidget *view = window->findChild<QWidget *>(QStringLiteral("brwWebBrowser"));
            QVERIFY(view);
            QTRY_COMPARE_WITH_TIMEOUT(view->property("title").toString(), QStringLiteral("Pixdock Home"), 30000);
            QCOMPARE(view->property("url").toUrl().fileName(), QStringLiteral("home.html"));
            QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Pixdock Home"), 30000);
        }
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // No module, or a file of that name that is no library: the message says why, no window.
    void unusableModuleIsReported_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("throughMenu");
        QTest::newRow("no module in the folder") << QByteArray() << false;
        QTest::newRow("not a library") << QByteArray("not a shared library\n") << false;
        // The menu loads from the program's own folder; here one without the module.
        QTest::newRow("View > Web Browser, no module beside the program") << QByteArray() << true;
    }
    void unusableModuleIsReported()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, throughMenu);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        if (!contents.isEmpty()) {
            QFile file(QDir(folder.path()).filePath(browser_module::fileName()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        frmMain *main = m_main.window();
        const int before = childWindows(main);
        const int openBefore = WindowList::instance().count();

        const QString programFiles = locations::executableFolder();
        auto restore = qScopeGuard([&] { locations::setExecutableFolder(programFiles); });
        if (throughMenu) {
            locations::setExecutableFolder(folder.path());
            main->menuItem(QStringLiteral("mnuViewWebBrowser"))->trigger();
        }
        else
            QCOMPARE(browser_module::openBrowserWindow(folder.path()), nullptr);

        QCOMPARE(MessageBox::shown().size(), 1);
        const auto &message = MessageBox::shown().constFirst();
        QVERIFY2(message.text.startsWith(NotAvailable), qPrintable(message.text));
        QVERIFY2(message.text.size() > NotAvailable.size(), "the loader's reason is missing");
        QCOMPARE(message.icon, MessageBox::Icon::Critical);
        QCOMPARE(childWindows(main), before);
        QCOMPARE(WindowList::instance().count(), openBefore);
    }
};

PIXDOCK_REGISTER_TEST(TestBrowserModule)
#include "tst_BrowserModule.moc"
