// The main window's menus, toolbar and status bar as the user finds them at start.
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
#include <QTest>
#include <QTime>
#include <QToolBar>

using namespace pixdock;

namespace {
// What the user sees of a list of actions: each shown item's caption, its shortcut after a tab,
// "(off)" when greyed, "(on)" when ticked; "-" for a separator. Toolbar buttons show their tips.
QString shownItems(const QList<QAction *> &actions, bool tips = false)
{
    QStringList items;
    for (const QAction *action : actions) {
        if (!action->isVisible() || action->objectName().startsWith(QLatin1String("mnuWindowList")))
            continue;
        QString item = action->isSeparator() ? QStringLiteral("-") : tips ? action->toolTip() : action->text();
        if (!action->shortcut().isEmpty())
            item += '\t' + action->shortcut().toString(QKeySequence::PortableText);
        if (!action->isEnabled())
            item += QStringLiteral(" (off)");
        if (action->isChecked())
            item += QStringLiteral(" (on)");
        items << item;
    }
    return items.join('|');
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
    void init() { m_main.start(); }
    void cleanup()
    {
        const QString problems = m_main.finish();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void menusShowTheirItemsInOrder_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("items");
        QTest::newRow("File") << "&File"
                              << "&Open...\tCtrl+O|-|&Save (off)|Save &As... (off)|Save A&ll (off)|-|Propert&ies|-|"
                                 "Page Set&up... (off)|Print Pre&view (off)|&Print...|-|Sen&d... (off)|-|E&xit";
        QTest::newRow("Edit") << "&Edit" << "&Undo|-|Cu&t\tCtrl+X|&Copy\tCtrl+C|&Paste\tCtrl+V|Paste &Special...";
        QTest::newRow("View") << "&View" << "&Toolbar (on)|Status &Bar (on)|-|&Web Browser";
        QTest::newRow("Images") << "&Images"
                                << "&Add To Database\tCtrl+A|&Delete Image\tCtrl+D|Previous Image\tF2|"
                                   "Next Image\tF3|&Search\tCtrl+S|View Image List";
        QTest::newRow("Window") << "&Window" << "-|&Cascade|Tile &Horizontal|Tile &Vertical|&Arrange Icons";
        QTest::newRow("Help") << "&Help" << "&Contents|&Search For Help On...|-|&About ";
    }
    void menusShowTheirItemsInOrder()
    {
        QFETCH(QString, menu);
        QFETCH(QString, items);
        QStringList titles;
        for (QAction *action : m_main.window()->menuBar()->actions()) {
            titles << action->text();
            if (action->text() == menu)
                QCOMPARE(shownItems(action->menu()->actions()), items);
        }
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&View", "&Images", "&Window", "&Help"}));
    }

    // Seven buttons with their tips, in four groups; the bar stays where it is.
    void toolbarShowsItsButtonsInGroups()
    {
        auto *bar = m_main.window()->findChild<QToolBar *>("tbToolBar");
        QCOMPARE(shownItems(bar->actions(), true),
                 QStringLiteral("Open Image|-|Previous Image|Next Image|-|Delete From Database|-|Search Database|"
                                "Image Properties|-|Help"));
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QVERIFY(!bar->isMovable());
        for (const QAction *button : bar->actions())
            QVERIFY(button->isSeparator() || !button->icon().isNull());
    }

    void statusBarStartsWithNoImageAndTodaysDateAndTime()
    {
        QCOMPARE(m_main.window()->statusText(), QStringLiteral("No Image Loaded"));
        auto *date = m_main.window()->findChild<QLabel *>("sbStatusBarDate");
        auto *time = m_main.window()->findChild<QLabel *>("sbStatusBarTime");
        const QLocale locale;
        // The clock may tick between the panel's update and this reading.
        QTRY_COMPARE(date->text(), locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        QTRY_COMPARE(time->text(), locale.toString(QTime::currentTime(), QLocale::ShortFormat));
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

        auto *menu = w->findChild<QMenu *>("mnuWindow");
        const auto listed = [menu] {
            emit menu->aboutToShow();
            QList<QAction *> entries;
            for (QAction *action : menu->actions()) {
                if (action->objectName().startsWith("mnuWindowList") && !action->isSeparator())
                    entries << action;
            }
            return entries;
        };
        QList<QAction *> entries = listed();
        QStringList texts;
        for (const QAction *action : entries)
            texts << action->text();
        QCOMPARE(texts, QStringList({"&1 Options", "&2 Pictures && more", "&3 Second"}));
        entries.at(1)->trigger();
        QCOMPARE(w->childArea()->activeSubWindow(), first->subWindow());

        // Reopening the menu lists the windows afresh, without duplicates.
        second->unload();
        QCOMPARE(listed().size(), 2);
    }

private:
    test::MainWindowUnderTest m_main;
};

PIXDOCK_REGISTER_TEST(TestMainWindowMenus)
#include "tst_frmMainMenus.moc"
