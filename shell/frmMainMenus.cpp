// The main window's menu tree and the Window menu's list of child windows.
#include "frmMain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace pixdock {

namespace {
enum State { Shown = 0, Hidden = 1, Disabled = 2, Checked = 4 };

struct ItemRow
{
    const char *name;
    const char *caption; // nullptr: a separator
    const char *shortcut;
    int state;
    void (frmMain::*handler)();
};

struct MenuRow
{
    const char *name;
    const char *title;
    QList<ItemRow> items;
};

const QList<MenuRow> &menuTree()
{
    using M = frmMain;
    static const QList<MenuRow> tree = {
        {"mnuFile", "&File", {
            {"mnuFileNew", "&New", "Ctrl+N", Hidden | Disabled, nullptr},
            {"mnuFileOpen", "&Open...", "Ctrl+O", Shown, &M::mnuFileOpen_Click},
            {"mnuFileClose", "&Close", "", Hidden | Disabled, nullptr},
            {"mnuFileBar0", nullptr, "", Shown, nullptr},
            {"mnuFileSave", "&Save", "", Disabled, nullptr},
            {"mnuFileSaveAs", "Save &As...", "", Disabled, nullptr},
            {"mnuFileSaveAll", "Save A&ll", "", Disabled, nullptr},
            {"mnuFileBar1", nullptr, "", Shown, nullptr},
            {"mnuFileProperties", "Propert&ies", "", Shown, &M::mnuFileProperties_Click},
            {"mnuFileBar2", nullptr, "", Shown, nullptr},
            {"mnuFilePageSetup", "Page Set&up...", "", Disabled, nullptr},
            {"mnuFilePrintPreview", "Print Pre&view", "", Disabled, nullptr},
            {"mnuFilePrint", "&Print...", "", Shown, &M::mnuFilePrint_Click},
            {"mnuFileBar3", nullptr, "", Shown, nullptr},
            {"mnuFileSend", "Sen&d...", "", Disabled, nullptr},
            {"mnuFileBar4", nullptr, "", Shown, nullptr},
            {"mnuFileMRU1", "", "", Hidden, nullptr},
            {"mnuFileMRU2", "", "", Hidden, nullptr},
            {"mnuFileMRU3", "", "", Hidden, nullptr},
            {"mnuFileBar5", nullptr, "", Hidden, nullptr},
            {"mnuFileExit", "E&xit", "", Shown, &M::mnuFileExit_Click},
        }},
        {"mnuEdit", "&Edit", {
            {"mnuEditUndo", "&Undo", "", Shown, &M::mnuEditUndo_Click},
            {"mnuEditBar0", nullptr, "", Shown, nullptr},
            {"mnuEditCut", "Cu&t", "Ctrl+X", Shown, &M::mnuEditCut_Click},
            {"mnuEditCopy", "&Copy", "Ctrl+C", Shown, &M::mnuEditCopy_Click},
            {"mnuEditPaste", "&Paste", "Ctrl+V", Shown, &M::mnuEditPaste_Click},
            {"mnuEditPasteSpecial", "Paste &Special...", "", Shown, &M::mnuEditPasteSpecial_Click},
        }},
        {"mnuView", "&View", {
            {"mnuViewToolbar", "&Toolbar", "", Checked, &M::mnuViewToolbar_Click},
            {"mnuViewStatusBar", "Status &Bar", "", Checked, &M::mnuViewStatusBar_Click},
            {"mnuViewBar0", nullptr, "", Shown, nullptr},
            {"mnuViewRefresh", "&Refresh", "", Hidden, &M::mnuViewRefresh_Click},
            {"mnuViewOptions", "&Options...", "", Hidden, &M::mnuViewOptions_Click},
            {"mnuViewWebBrowser", "&Web Browser", "", Shown, &M::mnuViewWebBrowser_Click},
        }},
        {"mnuData", "&Images", {
            {"mnuAdd", "&Add To Database", "Ctrl+A", Shown, &M::mnuAdd_Click},
            {"mnuDelete", "&Delete Image", "Ctrl+D", Shown, &M::mnuDelete_Click},
            {"mnuPrev", "Previous Image", "F2", Shown, &M::mnuPrev_Click},
            {"mnuNext", "Next Image", "F3", Shown, &M::mnuNext_Click},
            {"mnuSearch", "&Search", "Ctrl+S", Shown, &M::mnuSearch_Click},
            {"mnuDatafrmImgList", "View Image List", "", Shown, &M::mnuDatafrmImgList_Click},
        }},
        {"mnuWindow", "&Window", {
            {"mnuWindowNewWindow", "&New Window", "", Hidden, nullptr},
            {"mnuWindowBar0", nullptr, "", Shown, nullptr},
            {"mnuWindowCascade", "&Cascade", "", Shown, &M::mnuWindowCascade_Click},
            {"mnuWindowTileHorizontal", "Tile &Horizontal", "", Shown, &M::mnuWindowTileHorizontal_Click},
            {"mnuWindowTileVertical", "Tile &Vertical", "", Shown, &M::mnuWindowTileVertical_Click},
            {"mnuWindowArrangeIcons", "&Arrange Icons", "", Shown, &M::mnuWindowArrangeIcons_Click},
        }},
        {"mnuHelp", "&Help", {
            {"mnuHelpContents", "&Contents", "", Shown, &M::mnuHelpContents_Click},
            {"mnuHelpSearchForHelpOn", "&Search For Help On...", "", Shown, &M::mnuHelpSearchForHelpOn_Click},
            {"mnuHelpBar0", nullptr, "", Shown, nullptr},
            {"mnuHelpAbout", "&About ", "", Shown, &M::mnuHelpAbout_Click},
        }},
    };
    return tree;
}
} // namespace

void frmMain::createActions()
{
    for (const MenuRow &menu : menuTree()) {
        for (const ItemRow &row : menu.items) {
            auto *action = new QAction(this);
            action->setObjectName(QLatin1String(row.name));
            if (row.caption)
                action->setText(QString::fromUtf8(row.caption));
            else
                action->setSeparator(true);
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut), QKeySequence::PortableText));
            action->setVisible(!(row.state & Hidden));
            action->setEnabled(!(row.state & Disabled));
            if (row.state & Checked) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            if (row.handler)
                connect(action, &QAction::triggered, this, row.handler);
            m_items.insert(action->objectName(), action);
        }
    }
}

void frmMain::createMenus()
{
    for (const MenuRow &row : menuTree()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(row.title));
        menu->setObjectName(QLatin1String(row.name));
        for (const ItemRow &item : row.items)
            menu->addAction(m_items.value(QLatin1String(item.name)));
        if (menu->objectName() == QLatin1String("mnuWindow"))
            mnuWindow = menu;
    }
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmMain::updateWindowMenu);
}

void frmMain::updateWindowMenu()
{
    for (QAction *item : std::as_const(m_windowListItems)) {
        mnuWindow->removeAction(item);
        delete item;
    }
    m_windowListItems.clear();

    QList<QMdiSubWindow *> open;
    for (QMdiSubWindow *sub : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isHidden())
            open.append(sub);
    }
    if (open.isEmpty())
        return;
    QAction *bar = mnuWindow->addSeparator();
    bar->setObjectName(QStringLiteral("mnuWindowListBar"));
    m_windowListItems.append(bar);
    for (int i = 0; i < open.size(); ++i) {
        QPointer<QMdiSubWindow> sub = open.at(i);
        QString title = sub->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title)
                                   : QStringLiteral("%1 %2").arg(i + 1).arg(title);
        QAction *item = mnuWindow->addAction(text);
        item->setObjectName(QStringLiteral("mnuWindowList%1").arg(i + 1));
        item->setCheckable(true);
        item->setChecked(sub == m_area->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, sub] {
            if (!sub)
                return;
            if (sub->isMinimized())
                sub->showNormal();
            m_area->setActiveSubWindow(sub);
        });
        m_windowListItems.append(item);
    }
}

} // namespace pixdock
