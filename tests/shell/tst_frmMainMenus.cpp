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

QStringList itemNames(const QMenu *menu)
{
    QStringList names;
    for (const QAction *action : menu->actions())
        names << action->objectName();
    return names;
}

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

    void menusHoldTheirItemsInOrder_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("File") << "mnuFile" << "&File" << QStringList{
            "mnuFileNew", "mnuFileOpen", "mnuFileClose", "mnuFileBar0", "mnuFileSave", "mnuFileSaveAs",
            "mnuFileSaveAll", "mnuFileBar1", "mnuFileProperties", "mnuFileBar2", "mnuFilePageSetup",
            "mnuFilePrintPreview", "mnuFilePrint", "mnuFileBar3", "mnuFileSend", "mnuFileBar4",
            "mnuFileMRU1", "mnuFileMRU2", "mnuFileMRU3", "mnuFileBar5", "mnuFileExit"};
        QTest::newRow("Edit") << "mnuEdit" << "&Edit" << QStringList{
            "mnuEditUndo", "mnuEditBar0", "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditPasteSpecial"};
        QTest::newRow("View") << "mnuView" << "&View" << QStringList{
            "mnuViewToolbar", "mnuViewStatusBar", "mnuViewBar0", "mnuViewRefresh", "mnuViewOptions",
            "mnuViewWebBrowser"};
        QTest::newRow("Images") << "mnuData" << "&Images" << QStringList{
            "mnuAdd", "mnuDelete", "mnuPrev", "mnuNext", "mnuSearch", "mnuDatafrmImgList"};
        QTest::newRow("Window") << "mnuWindow" << "&Window" << QStringList{
            "mnuWindowNewWindow", "mnuWindowBar0", "mnuWindowCascade", "mnuWindowTileHorizontal",
            "mnuWindowTileVertical", "mnuWindowArrangeIcons"};
        QTest::newRow("Help") << "mnuHelp" << "&Help" << QStringList{
            "mnuHelpContents", "mnuHelpSearchForHelpOn", "mnuHelpBar0", "mnuHelpAbout"};
    }
    void menusHoldTheirItemsInOrder()
    {
        QFETCH(QString, menu);
        QFETCH(QString, title);
        QFETCH(QStringList, items);
        auto *m = m_main.window()->findChild<QMenu *>(menu);
        QVERIFY(m);
        QCOMPARE(m->title(), title);
        QCOMPARE(itemNames(m), items);
    }

    void menuBarShowsTheSixMenusInOrder()
    {
        QStringList titles;
        for (const QAction *action : m_main.window()->menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&View", "&Images", "&Window", "&Help"}));
    }

    void itemsStartAsTheTableSays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("state");
        const int hiddenDisabled = 0;
        const int disabled = Visible;
        const int hidden = Enabled;
        const int separator = Plain | Separator;
        auto row = [](const char *name, const char *caption, const char *shortcut, int state) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                                << QString::fromLatin1(shortcut) << state;
        };
        row("mnuFileNew", "&New", "Ctrl+N", hiddenDisabled);
        row("mnuFileOpen", "&Open...", "Ctrl+O", Plain);
        row("mnuFileClose", "&Close", "", hiddenDisabled);
        row("mnuFileBar0", "", "", separator);
        row("mnuFileSave", "&Save", "", disabled);
        row("mnuFileSaveAs", "Save &As...", "", disabled);
        row("mnuFileSaveAll", "Save A&ll", "", disabled);
        row("mnuFileBar1", "", "", separator);
        row("mnuFileProperties", "Propert&ies", "", Plain);
        row("mnuFileBar2", "", "", separator);
        row("mnuFilePageSetup", "Page Set&up...", "", disabled);
        row("mnuFilePrintPreview", "Print Pre&view", "", disabled);
        row("mnuFilePrint", "&Print...", "", Plain);
        row("mnuFileBar3", "", "", separator);
        row("mnuFileSend", "Sen&d...", "", disabled);
        row("mnuFileBar4", "", "", separator);
        row("mnuFileMRU1", "", "", hidden);
        row("mnuFileMRU2", "", "", hidden);
        row("mnuFileMRU3", "", "", hidden);
        row("mnuFileBar5", "", "", Enabled | Separator);
        row("mnuFileExit", "E&xit", "", Plain);
        row("mnuEditUndo", "&Undo", "", Plain);
        row("mnuEditBar0", "", "", separator);
        row("mnuEditCut", "Cu&t", "Ctrl+X", Plain);
        row("mnuEditCopy", "&Copy", "Ctrl+C", Plain);
        row("mnuEditPaste", "&Paste", "Ctrl+V", Plain);
        row("mnuEditPasteSpecial", "Paste &Special...", "", Plain);
        row("mnuViewToolbar", "&Toolbar", "", Plain | Checked);
        row("mnuViewStatusBar", "Status &Bar", "", Plain | Checked);
        row("mnuViewBar0", "", "", separator);
        row("mnuViewRefresh", "&Refresh", "", hidden);
        row("mnuViewOptions", "&Options...", "", hidden);
        row("mnuViewWebBrowser", "&Web Browser", "", Plain);
        row("mnuAdd", "&Add To Database", "Ctrl+A", Plain);
        row("mnuDelete", "&Delete Image", "Ctrl+D", Plain);
        row("mnuPrev", "Previous Image", "F2", Plain);
        row("mnuNext", "Next Image", "F3", Plain);
        row("mnuSearch", "&Search", "Ctrl+S", Plain);
        row("mnuDatafrmImgList", "View Image List", "", Plain);
        row("mnuWindowNewWindow", "&New Window", "", hidden);
        row("mnuWindowBar0", "", "", separator);
        row("mnuWindowCascade", "&Cascade", "", Plain);
        row("mnuWindowTileHorizontal", "Tile &Horizontal", "", Plain);
        row("mnuWindowTileVertical", "Tile &Vertical", "", Plain);
        row("mnuWindowArrangeIcons", "&Arrange Icons", "", Plain);
        row("mnuHelpContents", "&Contents", "", Plain);
        row("mnuHelpSearchForHelpOn", "&Search For Help On...", "", Plain);
        row("mnuHelpBar0", "", "", separator);
        row("mnuHelpAbout", "&About ", "", Plain);
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
