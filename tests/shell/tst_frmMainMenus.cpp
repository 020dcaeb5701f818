// The main window's menu tree, toolbar and status bar as the user finds them at start.
#include "ChildWindow.h"
#include "MainWindowUnderTest.h"
#include "TestRegistry.h"
#include "TestState.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTime>
#include <QToolBar>

using namespace pixdock;

namespace {
enum : int { Visible = 1, Enabled = 2, Checked = 4, Separator = 8 };
constexpr int Plain = Visible | Enabled;
constexpr int Disabled = Visible;
constexpr int Hidden = Enabled;
constexpr int HiddenDisabled = 0;
constexpr int Bar = Plain | Separator;

QStringList itemNames(const QMenu *menu)
{
    QStringList names;
    for (const QAction *action : menu->actions())
        names << action->objectName();
    return names;
}

// Every menu item in menu order: name, caption, shortcut and the state it starts in.
struct Item
{
    const char *name;
    const char *caption;
    const char *shortcut;
    int state;
};
const Item Items[] = {
    {"mnuFileNew", "&New", "Ctrl+N", HiddenDisabled},
    {"mnuFileOpen", "&Open...", "Ctrl+O", Plain},
    {"mnuFileClose", "&Close", "", HiddenDisabled},
    {"mnuFileBar0", "", "", Bar},
    {"mnuFileSave", "&Save", "", Disabled},
    {"mnuFileSaveAs", "Save &As...", "", Disabled},
    {"mnuFileSaveAll", "Save A&ll", "", Disabled},
    {"mnuFileBar1", "", "", Bar},
    {"mnuFileProperties", "Propert&ies", "", Plain},
    {"mnuFileBar2", "", "", Bar},
    {"mnuFilePageSetup", "Page Set&up...", "", Disabled},
    {"mnuFilePrintPreview", "Print Pre&view", "", Disabled},
    {"mnuFilePrint", "&Print...", "", Plain},
    {"mnuFileBar3", "", "", Bar},
    {"mnuFileSend", "Sen&d...", "", Disabled},
    {"mnuFileBar4", "", "", Bar},
    {"mnuFileMRU1", "", "", Hidden},
    {"mnuFileMRU2", "", "", Hidden},
    {"mnuFileMRU3", "", "", Hidden},
    {"mnuFileBar5", "", "", Enabled | Separator},
    {"mnuFileExit", "E&xit", "", Plain},
    {"mnuEditUndo", "&Undo", "", Plain},
    {"mnuEditBar0", "", "", Bar},
    {"mnuEditCut", "Cu&t", "Ctrl+X", Plain},
    {"mnuEditCopy", "&Copy", "Ctrl+C", Plain},
    {"mnuEditPaste", "&Paste", "Ctrl+V", Plain},
    {"mnuEditPasteSpecial", "Paste &Special...", "", Plain},
    {"mnuViewToolbar", "&Toolbar", "", Plain | Checked},
    {"mnuViewStatusBar", "Status &Bar", "", Plain | Checked},
    {"mnuViewBar0", "", "", Bar},
    {"mnuViewRefresh", "&Refresh", "", Hidden},
    {"mnuViewOptions", "&Options...", "", Hidden},
    {"mnuViewWebBrowser", "&Web Browser", "", Plain},
    {"mnuAdd", "&Add To Database", "Ctrl+A", Plain},
    {"mnuDelete", "&Delete Image", "Ctrl+D", Plain},
    {"mnuPrev", "Previous Image", "F2", Plain},
    {"mnuNext", "Next Image", "F3", Plain},
    {"mnuSearch", "&Search", "Ctrl+S", Plain},
    {"mnuDatafrmImgList", "View Image List", "", Plain},
    {"mnuWindowNewWindow", "&New Window", "", Hidden},
    {"mnuWindowBar0", "", "", Bar},
    {"mnuWindowCascade", "&Cascade", "", Plain},
    {"mnuWindowTileHorizontal", "Tile &Horizontal", "", Plain},
    {"mnuWindowTileVertical", "Tile &Vertical", "", Plain},
    {"mnuWindowArrangeIcons", "&Arrange Icons", "", Plain},
    {"mnuHelpContents", "&Contents", "", Plain},
    {"mnuHelpSearchForHelpOn", "&Search For Help On...", "", Plain},
    {"mnuHelpBar0", "", "", Bar},
    {"mnuHelpAbout", "&About ", "", Plain},
};

class NamedWindow : public ChildWindow
{
public:
    explicit NamedWindow(const QString &title) { setWindowTitle(title); }
};
} // namespace

class TestMainWindowMenus : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_main.start(); }
    void cleanup()
    {
        test::resetProgramState();
        m_main.reset();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    void menusHoldTheirItemsInOrder()
    {
        QStringList menus;
        QStringList names;
        for (const QAction *action : m_main.window()->menuBar()->actions()) {
            menus << action->menu()->objectName() + ' ' + action->text();
            names += itemNames(action->menu());
        }
        QCOMPARE(menus, QStringList({"mnuFile &File", "mnuEdit &Edit", "mnuView &View", "mnuData &Images",
                                     "mnuWindow &Window", "mnuHelp &Help"}));
        QStringList expected;
        for (const Item &item : Items)
            expected << QString::fromLatin1(item.name);
        QCOMPARE(names, expected);
    }

    void itemsStartAsTheTableSays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("state");
        for (const Item &item : Items)
            QTest::newRow(item.name) << QString::fromLatin1(item.name) << QString::fromLatin1(item.caption)
                                     << QString::fromLatin1(item.shortcut) << item.state;
    }
    void itemsStartAsTheTableSays()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(int, state);
        const QList<QAction *> found = m_main.window()->findChildren<QAction *>(name);
        QCOMPARE(found.size(), 1);
        QAction *item = found.constFirst();
        QCOMPARE(item->isSeparator(), bool(state & Separator));
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut(), QKeySequence(shortcut, QKeySequence::PortableText));
        QCOMPARE(item->isVisible(), bool(state & Visible));
        QCOMPARE(item->isChecked(), bool(state & Checked));
        // A hidden item never acts (Qt reports it disabled); shown, it has its own state.
        QCOMPARE(item->isEnabled(), bool(state & Visible) && bool(state & Enabled));
        if (!item->isVisible()) {
            item->setVisible(true);
            QCOMPARE(item->isEnabled(), bool(state & Enabled));
            item->setVisible(false);
        }
    }

    void toolbarHoldsSevenKeyedButtonsAndFourSeparators_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("Open") << 0 << "Open" << "Open Image";
        QTest::newRow("Back") << 2 << "Back" << "Previous Image";
        QTest::newRow("Forward") << 3 << "Forward" << "Next Image";
        QTest::newRow("Delete") << 5 << "Delete" << "Delete From Database";
        QTest::newRow("Find") << 7 << "Find" << "Search Database";
        QTest::newRow("Properties") << 8 << "Properties" << "Image Properties";
        QTest::newRow("Help") << 10 << "Help" << "Help";
    }
    void toolbarHoldsSevenKeyedButtonsAndFourSeparators()
    {
        QFETCH(int, position);
        QFETCH(QString, key);
        QFETCH(QString, tooltip);
        auto *bar = m_main.window()->findChild<QToolBar *>("tbToolBar");
        QVERIFY(bar);
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
        const QList<QAction *> entries = bar->actions();
        QCOMPARE(entries.size(), 11);
        for (int separator : {1, 4, 6, 9})
            QVERIFY(entries.at(separator)->isSeparator());
        const QAction *button = entries.at(position);
        QCOMPARE(button->objectName(), "tb" + key);
        QCOMPARE(button->data().toString(), key);
        QCOMPARE(button->toolTip(), tooltip);
        QVERIFY(!button->icon().isNull());
    }

    void statusBarStartsWithNoImageAndTodaysDateAndTime()
    {
        QCOMPARE(m_main.window()->statusText(), QStringLiteral("No Image Loaded"));
        auto *date = m_main.window()->findChild<QLabel *>("sbStatusBarDate");
        auto *time = m_main.window()->findChild<QLabel *>("sbStatusBarTime");
        QVERIFY(date && time);
        const QLocale locale;
        // The clock may tick between the panel's update and this reading.
        QTRY_COMPARE(date->text(), locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        QTRY_COMPARE(time->text(), locale.toString(QTime::currentTime(), QLocale::ShortFormat));
        m_main.window()->setStatusText(QStringLiteral("/pictures/a.jpg"));
        QCOMPARE(frameStatusText(), QStringLiteral("/pictures/a.jpg"));
    }

    void aLongPathInTheStatusBarDoesNotWidenTheWindow()
    {
        frmMain *w = m_main.window();
        const int width = w->frameGeometry().width();
        w->setStatusText(QString(400, QLatin1Char('x')));
        QTest::qWait(0);
        QCOMPARE(w->frameGeometry().width(), width);
        QVERIFY(w->minimumSizeHint().width() < width);
    }

    void viewTogglesHideAndShowTheBars_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("bar");
        QTest::newRow("toolbar") << "mnuViewToolbar" << "tbToolBar";
        QTest::newRow("status bar") << "mnuViewStatusBar" << "sbStatusBar";
    }
    void viewTogglesHideAndShowTheBars()
    {
        QFETCH(QString, item);
        QFETCH(QString, bar);
        frmMain *w = m_main.window();
        QAction *toggle = w->menuItem(item);
        auto *widget = w->findChild<QWidget *>(bar);
        QVERIFY(widget->isVisible());
        const int areaHeight = w->childArea()->height();
        toggle->trigger();
        QVERIFY(!toggle->isChecked());
        QVERIFY(!widget->isVisible());
        QTRY_VERIFY(w->childArea()->height() > areaHeight);
        toggle->trigger();
        QVERIFY(toggle->isChecked());
        QVERIFY(widget->isVisible());
        QTRY_COMPARE(w->childArea()->height(), areaHeight);
    }

    void windowMenuListsOpenChildrenAndActivatesTheChosenOne()
    {
        frmMain *w = m_main.window();
        auto *first = new NamedWindow(QStringLiteral("Pictures & more"));
        first->load();
        first->showWindow();
        auto *second = new NamedWindow(QStringLiteral("Second"));
        second->load();
        second->showWindow();
        QCOMPARE(w->childArea()->activeSubWindow(), second->subWindow());

        auto *menu = w->findChild<QMenu *>("mnuWindow");
        emit menu->aboutToShow();
        QStringList listed;
        QAction *choice = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->objectName().startsWith("mnuWindowList") && !action->isSeparator()) {
                listed << action->text();
                if (action->text().contains("Pictures"))
                    choice = action;
            }
        }
        QCOMPARE(listed, QStringList({"&1 Options", "&2 Pictures && more", "&3 Second"}));
        QVERIFY(choice);
        choice->trigger();
        QCOMPARE(w->childArea()->activeSubWindow(), first->subWindow());

        // Reopening the menu lists the windows afresh, without duplicates.
        second->unload();
        emit menu->aboutToShow();
        int entries = 0;
        for (QAction *action : menu->actions())
            entries += action->objectName().startsWith("mnuWindowList") && !action->isSeparator();
        QCOMPARE(entries, 2);
    }

private:
    test::MainWindowUnderTest m_main;
};

PIXDOCK_REGISTER_TEST(TestMainWindowMenus)
#include "tst_frmMainMenus.moc"
