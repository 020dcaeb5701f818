// The main window: construction, load and unload, the remembered position, child arrangement.
#include "frmMain.h"

#include "CatalogueCreation.h"
#include "CatalogueStore.h"
#include "MainWindowPlacement.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "ShellResources.h"
#include "Twips.h"
#include "WindowArrangement.h"
#include "WindowList.h"
#include "frmOptions.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>

namespace pixdock {

frmMain::frmMain()
    : m_area(new QMdiArea)
{
    initShellResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProgramTitle);
    setWindowIcon(programIcon());
    m_area->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_area);
    setAcceptDrops(true);

    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
}

frmMain::~frmMain()
{
    // Destroyed without having been closed: the children still get their unload.
    if (m_loaded && !m_unloaded) {
        m_unloaded = true;
        MDIForm_Unload();
    }
    forget();
}

void frmMain::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    WindowList::instance().enter(this);
    setFrame(this);
    try {
        MDIForm_Load();
    } catch (...) {
        MDIForm_Unload();
        m_unloaded = true;
        throw;
    }
}

void frmMain::MDIForm_Load()
{
    readSettings();
    const QString made = catalogue::makeMissingCatalogue();
    catalogue::OpenConnection();
    sharedWindow<frmOptions>()->showWindow();
    // Said once, on the start that made it; the panels come back when the note goes.
    if (!made.isEmpty())
        sbStatusBar->showMessage(QStringLiteral("A new, empty catalogue was made: %1").arg(made), NewCatalogueNoteMs);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        if (m_loaded && !isMinimized())
            writeSettings();
        MDIForm_Unload();
        emit unloaded();
    }
    event->accept();
}

// Unloads every child window (each runs its own unload), then forgets the main window.
void frmMain::MDIForm_Unload()
{
    const QList<QWidget *> open = WindowList::instance().windows();
    for (auto it = open.crbegin(); it != open.crend(); ++it) {
        if (*it != this)
            unloadWindow(*it);
    }
    // Anything in the child area that never entered the open-window list goes too.
    for (QMdiSubWindow *sub : m_area->subWindowList())
        sub->close();
    forget();
}

void frmMain::forget()
{
    WindowList::instance().leave(this);
    if (frame() == this)
        setFrame(nullptr);
    if (gMainWindow == this)
        gMainWindow = nullptr;
}

void frmMain::readSettings()
{
    QSettings settings(placement::organisation(), placement::application());
    settings.beginGroup(placement::group());
    const placement::MainPlacement stored = placement::read(settings);
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    const QScreen *primary = QGuiApplication::primaryScreen();
    applyOuterGeometry(placement::keepOnScreen(
        twips::rectToPixels(stored.left, stored.top, stored.width, stored.height), screens,
        primary ? primary->availableGeometry() : QRect()));
}

void frmMain::writeSettings()
{
    QSettings settings(placement::organisation(), placement::application());
    settings.beginGroup(placement::group());
    const QRect outer = frameGeometry();
    placement::write(settings, {twips::fromPixels(outer.x()), twips::fromPixels(outer.y()),
                                twips::fromPixels(outer.width()), twips::fromPixels(outer.height())});
}

// Places the window so that its outer frame, title bar included, covers `outer`.
void frmMain::applyOuterGeometry(const QRect &outer)
{
    m_outerGeometry = outer;
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const QSize border(frame.width() - inner.width(), frame.height() - inner.height());
    resize((outer.size() - border).expandedTo(QSize(1, 1)));
    move(outer.topLeft());
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Some platforms know the size of the window frame only once it is on screen.
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (m_outerGeometry.isValid() && frameGeometry() != m_outerGeometry)
            applyOuterGeometry(m_outerGeometry);
    }
}

QMenu *frmMain::createPopupMenu()
{
    // The toolbar and status bar are shown and hidden through the View menu only.
    return nullptr;
}

int frmMain::widthTwips() const { return twips::fromPixels(frameGeometry().width()); }

void frmMain::arrange(Arrangement how)
{
    switch (how) {
    case Arrangement::Cascade:
        m_area->cascadeSubWindows();
        break;
    case Arrangement::TileHorizontal:
        tileChildren(false);
        break;
    case Arrangement::TileVertical:
        tileChildren(true);
        break;
    case Arrangement::ArrangeIcons:
        arrangeIcons();
        break;
    }
}

void frmMain::tileChildren(bool vertical)
{
    // The active window comes first, at the top left.
    QList<QMdiSubWindow *> history = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(history.begin(), history.end());
    QList<QMdiSubWindow *> tiled;
    QList<QSize> icons;
    for (QMdiSubWindow *sub : history) {
        if (sub->isHidden())
            continue;
        if (sub->isMinimized()) {
            icons.append(sub->size());
        } else {
            if (sub->isMaximized())
                sub->showNormal();
            tiled.append(sub);
        }
    }
    const QRect area = arrangement::areaAboveIcons(m_area->viewport()->rect(), icons);
    const QList<QRect> places = arrangement::tile(
        area, int(tiled.size()), vertical ? arrangement::Tiling::Vertical : arrangement::Tiling::Horizontal);
    for (int i = 0; i < tiled.size(); ++i)
        tiled.at(i)->setGeometry(places.at(i));
}

void frmMain::arrangeIcons()
{
    QList<QMdiSubWindow *> icons;
    QList<QSize> sizes;
    for (QMdiSubWindow *sub : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isHidden() && sub->isMinimized()) {
            icons.append(sub);
            sizes.append(sub->size());
        }
    }
    const QList<QPoint> corners = arrangement::lineUpIcons(m_area->viewport()->rect(), sizes);
    for (int i = 0; i < icons.size(); ++i)
        icons.at(i)->move(corners.at(i));
}

} // namespace pixdock
