// The real main window for tests: loaded on a fresh program folder and shown, the way
// start-up leaves it (frame at position 0 of the open-window list, control panel at 1).
#pragma once

#include "CommandWiring.h"
#include "Frame.h"
#include "MainWindowPlacement.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "Pictures.h"
#include "ProgramFolder.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingSetup.h"
#include "WindowList.h"
#include "frmMain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace pixdock::test {

class MainWindowUnderTest
{
public:
    // A first run: fresh program state, nothing stored (when asked, the main window open).
    frmMain *start(bool opened = true)
    {
        resetProgramState();
        QSettings(placement::organisation(), placement::application()).clear();
        return opened ? open() : nullptr;
    }

    // Creates, loads and shows the main window; the program folder holds a fresh db.fil.
    frmMain *open()
    {
        if (!m_folder)
            m_folder.emplace();
        gMainWindow = (m_window = std::make_unique<frmMain>()).get();
        m_window->load();
        m_window->show();
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("the main window did not become active");
        return m_window.get();
    }

    frmMain *window() const { return m_window.get(); }

    // Closes the main window as the user would (its unload runs) and lets it go.
    void close()
    {
        if (m_window)
            m_window->close();
        m_window.reset();
    }

    // Ends a test: closes the window, puts the program back and lets everything go. Returns
    // what was wrong with the message and dialog answers, empty when nothing was.
    QString reset()
    {
        const QString problems = unusedOrMissingAnswers();
        close();
        resetProgramState();
        m_folder.reset();
        return problems;
    }

private:
    std::optional<ProgramFolder> m_folder;
    std::unique_ptr<frmMain> m_window;
};

// The shared fixture of the tests that drive the main window: each test starts as a first run
// with the real commands behind the menus, and ends with the message and dialog answers all
// used; `m_pictures` is a folder for pictures.
class MainWindowTest : public QObject
{
    Q_OBJECT
protected:
    frmMain *main() const { return m_main.window(); }
    // Chooses a menu item ("mnu...") or presses a toolbar button ("tb...") through its action.
    void choose(const QString &name) const
    {
        QAction *item = main()->menuItem(name);
        (item ? item : main()->findChild<QAction *>(name))->trigger();
    }
    MainWindowUnderTest m_main;
    QTemporaryDir m_pictures;

protected slots:
    void init()
    {
        viewing::installViewerOpeners();
        installCommandHandlers();
        m_main.start();
    }
    void cleanup() { QCOMPARE(m_main.reset(), QString()); }
};

// The open windows captioned `text`, and the window opened last.
inline int windowsCaptioned(const QString &text)
{
    return int(std::ranges::count_if(WindowList::instance().windows(), [&text](QWidget *w) { return w->windowTitle() == text; }));
}
inline QWidget *lastWindow() { return WindowList::instance().at(WindowList::instance().count() - 1); }

} // namespace pixdock::test
