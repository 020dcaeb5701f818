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
    // A child reaching past the frame's edge can be scrolled into view.
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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
    QList<placement::ScreenArea> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append({screen->geometry(), screen->availableGeometry()});
    const QScreen *primary = QGuiApplication::primaryScreen();
    applyOuterGeometry(placement::fitOnScreen(
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
    m_awaitingFrame = true;
    placeOuterGeometry();
}

void frmMain::placeOuterGeometry()
{
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const QSize border(frame.width() - inner.width(), frame.height() - inner.height());
    resize((m_outerGeometry.size() - border).expandedTo(QSize(1, 1)));
    move(m_outerGeometry.topLeft());
}

// A window manager frames the window only once it is on screen, and only then tells the
// frame's size: the size first asked for covered the inside alone, so it is asked again,
// once, for the window with its frame.
void frmMain::keepOuterGeometry()
{
    if (!m_awaitingFrame || !isVisible() || windowState() != Qt::WindowNoState)
        return;
    if (frameGeometry() == geometry())
        return; // not framed (yet)
    m_awaitingFrame = false;
    if (frameGeometry() != m_outerGeometry)
        placeOuterGeometry();
}

bool frmMain::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        keepOuterGeometry();
        break;
    default:
        break;
    }
    return handled;
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
        cascadeChildren();
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

QMdiSubWindow *frmMain::panelSubWindow() const
{
    auto *window = dynamic_cast<QWidget *>(panel());
    return window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
}

// The control panel keeps its fixed size and place (it has no buttons to minimise or close
// it): the other windows go beside it.
QRect frmMain::areaBesidePanel(const QRect &area) const
{
    QMdiSubWindow *panelSub = panelSubWindow();
    if (!panelSub)
        return area;
    QRect beside = area;
    const int right = panelSub->geometry().right() + 1;
    if (right > area.left() && right < area.right())
        beside.setLeft(right);
    return beside;
}

// The windows that arranging moves, the one active longest ago first: every shown child
// but the control panel.
QList<QMdiSubWindow *> frmMain::arrangedChildren() const
{
    QList<QMdiSubWindow *> children = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
    QMdiSubWindow *panelSub = panelSubWindow();
    children.removeIf([panelSub](QMdiSubWindow *sub) { return sub == panelSub || sub->isHidden(); });
    return children;
}

void frmMain::cascadeChildren()
{
    QList<QMdiSubWindow *> cascaded;
    QList<QSize> sizes;
    int step = 1;
    for (QMdiSubWindow *sub : arrangedChildren()) {
        if (sub->isMinimized())
            continue;
        if (sub->isMaximized())
            sub->showNormal();
        cascaded.append(sub);
        sizes.append(sub->size());
        // A title bar's height down and across, so that every title stays in sight.
        if (sub->widget())
            step = std::max(step, sub->widget()->mapTo(sub, QPoint(0, 0)).y());
    }
    const QList<QRect> places = arrangement::cascade(areaBesidePanel(m_area->viewport()->rect()), sizes, step);
    for (int i = 0; i < places.size(); ++i) {
        cascaded.at(i)->setGeometry(places.at(i));
        cascaded.at(i)->raise();
    }
}

void frmMain::tileChildren(bool vertical)
{
    // The active window comes first, at the top left.
    QList<QMdiSubWindow *> history = arrangedChildren();
    std::reverse(history.begin(), history.end());
    QList<QMdiSubWindow *> tiled;
    QList<QSize> icons;
    for (QMdiSubWindow *sub : history) {
        if (sub->isMinimized()) {
            icons.append(sub->size());
        } else {
            if (sub->isMaximized())
                sub->showNormal();
            tiled.append(sub);
        }
    }
    const QRect area = areaBesidePanel(arrangement::areaAboveIcons(m_area->viewport()->rect(), icons));
    const QList<QRect> places = arrangement::tile(
        area, int(tiled.size()), vertical ? arrangement::Tiling::Vertical : arrangement::Tiling::Horizontal);
    for (int i = 0; i < places.size(); ++i)
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
