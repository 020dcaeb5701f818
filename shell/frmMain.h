// The program's frame: menus, toolbar, status bar and the area that holds every child window.
#pragma once

#include "CommonDialog.h"
#include "Frame.h"

#include <QHash>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include <functional>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;

namespace pixdock {

class frmMain : public QMainWindow, public Frame
{
    Q_OBJECT
public:
    // How long the status bar says that a new catalogue was made.
    static constexpr int NewCatalogueNoteMs = 15000;

    // Commands that the viewing and catalogue libraries carry out. The menus, the toolbar
    // and the start-up wiring reach them through installed handlers.
    enum class Command {
        FileOpen,       // File > Open..., toolbar "Open"
        FileProperties, // File > Properties, toolbar "Properties"
        FilePrint,      // File > Print...
        Add,            // Images > Add To Database
        Delete,         // Images > Delete Image, toolbar "Delete"
        Previous,       // Images > Previous Image
        Next,           // Images > Next Image
        Search,         // Images > Search, toolbar "Find"
        ViewImageList,  // Images > View Image List
        ToolbarBack,    // toolbar "Back": Previous, skipping failing steps
        ToolbarForward, // toolbar "Forward": Next, skipping failing steps
    };
    using CommandHandler = std::function<void(frmMain &)>;
    // Installs (or, with an empty handler, removes) the handler of a command, for every
    // main window. A command without a handler does nothing.
    static void setCommandHandler(Command command, CommandHandler handler);
    static void clearCommandHandlers();

    frmMain();
    ~frmMain() override;

    // Enters the open-window list at position 0, becomes the program's frame and runs
    // MDIForm_Load. A failure (the catalogue cannot be opened...) is passed on and the
    // window is forgotten again.
    void load();

    // Frame
    QString statusText() const override;
    void setStatusText(const QString &text) override;
    QMdiArea *childArea() override { return m_area; }
    void arrange(Arrangement how) override;
    CommonDialog &commonDialog() override { return dlgCommonDialog; }
    int widthTwips() const override;

    QAction *menuItem(const QString &name) const { return m_items.value(name); }

    // Menu and toolbar handlers.
    void mnuFileOpen_Click();
    void mnuFileProperties_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuEditUndo_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditPasteSpecial_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewRefresh_Click();
    void mnuViewOptions_Click();
    void mnuViewWebBrowser_Click();
    void mnuAdd_Click();
    void mnuDelete_Click();
    void mnuPrev_Click();
    void mnuNext_Click();
    void mnuSearch_Click();
    void mnuDatafrmImgList_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearchForHelpOn_Click();
    void mnuHelpAbout_Click();
    void tbToolBar_ButtonClick(const QString &key);

    // Rebuilds the Window menu's list of child windows (done whenever the menu opens).
    void updateWindowMenu();

signals:
    // The main window has unloaded: the program is over.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    QMenu *createPopupMenu() override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void readSettings();
    void writeSettings();

    void MDIForm_Load();
    void MDIForm_Unload();
    void forget();

    void runCommand(Command command);
    void showHelp(void (*call)());
    void applyOuterGeometry(const QRect &outer);
    void placeOuterGeometry();
    void keepOuterGeometry();
    void updateClock();
    QMdiSubWindow *panelSubWindow() const;
    QRect areaBesidePanel(const QRect &area) const;
    QList<QMdiSubWindow *> arrangedChildren() const;
    void cascadeChildren();
    void tileChildren(bool vertical);
    void arrangeIcons();

    QMdiArea *m_area;
    QToolBar *tbToolBar = nullptr;
    QStatusBar *sbStatusBar = nullptr;
    QLabel *m_statusText = nullptr;
    QLabel *m_statusDate = nullptr;
    QLabel *m_statusTime = nullptr;
    QTimer m_clockTimer;
    CommonDialog dlgCommonDialog;
    QMenu *mnuWindow = nullptr;
    QHash<QString, QAction *> m_items;
    QList<QAction *> m_windowListItems;
    QRect m_outerGeometry;
    // Until the window manager has framed the window, its outer size is not settled.
    bool m_awaitingFrame = false;
    bool m_loaded = false;
    bool m_unloaded = false;
    QStringList m_dropPictures; // what the drag over the frame carries, when it is pictures
};

} // namespace pixdock
