// The main window's menus, toolbar and status bar as the user finds them at start.
#include "ChildWindow.h"
#include "MainWindowUnderTest.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTime>
#include <QToolBar>

using namespace pixdock;

namespace {
// What the user sees of a list of actions: each shown item's caption (a toolbar button's tip),
// its shortcut after a tab, "(off)" when greyed, "(on)" when ticked; "-" for a separator.
QString shownItems(const QList<QAction *> &actions, bool tips = false)
{
    QStringList items;
    for (const QAction *action : actions) {
        if (!action->isVisible() || action->objectName().startsWith(QLatin1String("mnuWindowList")))
            continue;
        QString item = action->isSeparator() ? QStringLiteral("-") : tips ? action->toolTip() : action->text();
        if (!action->shortcut().isEmpty())
            item += '\t' + action->shortcut().toString(QKeySequence::PortableText);
        item += QLatin1String(action->isEnabled() ? "" : " (off)") + QLatin1String(action->isChecked() ? " (on)" : "");
        items << item;
    }
    return items.join('|');
}
} // namespace

class TestMainWindowMenus : public test::MainWindowTest
{
    Q_OBJECT
private slots:

    // The menus and the toolbar in order, the bar fixed; the status bar says no image is loaded
    // and shows today's date and time, and a long path in it does not widen the window.
    void theWindowShowsItsMenusToolbarAndStatusBar()
    {
        QStringList menus;
        for (QAction *action : main()->menuBar()->actions())
            menus << action->text() + ": " + shownItems(action->menu()->actions());
        QCOMPARE(menus, QStringList({
            "&File: &Open...\tCtrl+O|-|&Save (off)|Save &As... (off)|Save A&ll (off)|-|Propert&ies|-|"
            "Page Set&up... (off)|Print Pre&view (off)|&Print...|-|Sen&d... (off)|-|E&xit",
            "&Edit: &Undo|-|Cu&t\tCtrl+X|&Copy\tCtrl+C|&Paste\tCtrl+V|Paste &Special...",
            "&View: &Toolbar (on)|Status &Bar (on)|-|&Web Browser",
            "&Images: &Add To Database\tCtrl+A|&Delete Image\tCtrl+D|Previous Image\tF2|Next Image\tF3|"
            "&Search\tCtrl+S|View Image List",
            "&Window: -|&Cascade|Tile &Horizontal|Tile &Vertical|&Arrange Icons",
            "&Help: &Contents|&Search For Help On...|-|&About "}));
        auto *bar = main()->findChild<QToolBar *>("tbToolBar");
        QCOMPARE(shownItems(bar->actions(), true),
                 QStringLiteral("Open Image|-|Previous Image|Next Image|-|Delete From Database|-|Search Database|"
                                "Image Properties|-|Help"));
        QVERIFY(!bar->isMovable());

        QCOMPARE(main()->statusText(), QStringLiteral("No Image Loaded"));
        // The clock may tick between the panel's update and this reading.
        QTRY_COMPARE(main()->findChild<QLabel *>("sbStatusBarDate")->text(),
                     QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        QTRY_COMPARE(main()->findChild<QLabel *>("sbStatusBarTime")->text(),
                     QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
        const int width = main()->frameGeometry().width();
        main()->setStatusText(QString(400, QLatin1Char('x')));
        QTest::qWait(0);
        QCOMPARE(main()->frameGeometry().width(), width);
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
        QAction *toggle = main()->menuItem(item);
        auto *widget = main()->findChild<QWidget *>(bar);
        const int areaHeight = main()->childArea()->height();
        for (bool on : {false, true}) {
            toggle->trigger();
            QCOMPARE(toggle->isChecked(), on);
            QCOMPARE(widget->isVisible(), on);
            QTRY_COMPARE(main()->childArea()->height() > areaHeight, !on);
        }
        QTRY_COMPARE(main()->childArea()->height(), areaHeight);
    }

    void windowMenuListsOpenChildrenAndActivatesTheChosenOne()
    {
        QList<ChildWindow *> children;
        for (const char *title : {"Pictures & more", "Second"}) {
            children << new ChildWindow;
            children.last()->setWindowTitle(QLatin1String(title));
            children.last()->load();
            children.last()->showWindow();
        }
        auto *menu = main()->findChild<QMenu *>("mnuWindow");
        const auto listed = [menu] {
            emit menu->aboutToShow();
            QList<QAction *> entries;
            for (QAction *action : menu->actions()) {
                if (action->objectName().startsWith("mnuWindowList") && !action->isSeparator())
                    entries << action;
            }
            return entries;
        };
        QStringList texts;
        for (const QAction *action : listed())
            texts << action->text();
        QCOMPARE(texts, QStringList({"&1 Options", "&2 Pictures && more", "&3 Second"}));
        listed().at(1)->trigger();
        QCOMPARE(main()->childArea()->activeSubWindow(), children.first()->subWindow());
        // Reopening the menu lists the windows afresh, without duplicates.
        children.last()->unload();
        QCOMPARE(listed().size(), 2);
    }

};

PIXDOCK_REGISTER_TEST(TestMainWindowMenus)
#include "tst_frmMainMenus.moc"
