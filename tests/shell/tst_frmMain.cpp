// The main window: its menus, toolbar and status bar as the user finds them at start, and its
// commands: placeholders, help, exit, arrangement and the toolbar's dispatch.
#include "ChildWindow.h"
#include "Locations.h"
#include "MainWindowUnderTest.h"
#include "RunTimeError.h"
#include "WindowArrangement.h"

#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolBar>

using namespace pixdock;

namespace {
struct PlainWindow : ChildWindow {
    static inline int unloads = 0;
    void Form_Unload() override { ++unloads; }
    static QMdiSubWindow *open(const QString &title)
    {
        auto *w = new PlainWindow;
        w->setWindowTitle(title);
        w->resize(200, 150);
        w->load();
        w->showWindow();
        return w->subWindow();
    }
};

const QString NoHelp = QStringLiteral("Unable to display Help Contents. There is no Help associated with this project.");

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

class TestMainWindow : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        QCOMPARE(m_main.reset(), QString());
        frmMain::clearCommandHandlers();
        locations::restoreHelpCollectionFile();
    }

    // Items with nothing behind them say what code is missing. Without a help file the program
    // says there is none; a help file that cannot be opened is reported, and the program goes on.
    // The routes no other test follows with real windows behind them reach their command
    // ("runs" and its number); a failing command and an unknown toolbar key end quietly.
    void itemsActOrSayWhyNot_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("helpFile"); // "none", "missing", or empty to leave it
        QTest::addColumn<QString>("text");     // empty: any text but the no-help one
        using C = frmMain::Command;
        QTest::newRow("Edit > Undo") << "mnuEditUndo" << "" << "Add 'mnuEditUndo_Click' code.";
        QTest::newRow("Edit > Paste Special") << "mnuEditPasteSpecial" << "" << "Add 'mnuEditPasteSpecial_Click' code.";
        QTest::newRow("Help > Contents, no help") << "mnuHelpContents" << "none" << NoHelp;
        QTest::newRow("Help > Search For Help On, no help") << "mnuHelpSearchForHelpOn" << "none" << NoHelp;
        QTest::newRow("toolbar Help, no help") << "tbHelp" << "none" << NoHelp;
        QTest::newRow("a help file that cannot be opened") << "mnuHelpContents" << "missing" << "";
        QTest::newRow("toolbar Open") << "tbOpen" << "" << QStringLiteral("runs %1").arg(int(C::FileOpen));
        QTest::newRow("File > Properties") << "mnuFileProperties" << "" << QStringLiteral("runs %1").arg(int(C::FileProperties));
        QTest::newRow("toolbar Properties") << "tbProperties" << "" << QStringLiteral("runs %1").arg(int(C::FileProperties));
        QTest::newRow("File > Print") << "mnuFilePrint" << "" << QStringLiteral("runs %1").arg(int(C::FilePrint));
    }
    void itemsActOrSayWhyNot()
    {
        QFETCH(QString, item);
        QFETCH(QString, helpFile);
        QFETCH(QString, text);
        if (!helpFile.isEmpty())
            locations::setHelpCollectionFile(helpFile == "none" ? QString() : m_pictures.filePath("missing.qhc"));
        QList<int> ran;
        for (int c = 0; text.startsWith("runs ") && c <= int(frmMain::Command::ToolbarForward); ++c)
            frmMain::setCommandHandler(frmMain::Command(c), [&ran, c](frmMain &) { ran << c; });
        choose(item);
        if (text.startsWith("runs ")) {
            QCOMPARE(ran, QList<int>{text.mid(5).toInt()});
            frmMain::setCommandHandler(frmMain::Command(ran.first()), [](frmMain &) { throw RunTimeError(err::FileNotFound, "File not found"); });
            choose(item);
            main()->tbToolBar_ButtonClick(QStringLiteral("NoSuchKey"));
            QVERIFY(MessageBox::shown().isEmpty());
            return;
        }
        QCOMPARE(MessageBox::shown().size(), 1);
        const MessageBox::Shown &shown = MessageBox::shown().constFirst();
        QVERIFY(text.isEmpty() ? !shown.text.isEmpty() && shown.text != NoHelp : shown.text == text);
        QVERIFY((text != NoHelp || shown.icon == MessageBox::Icon::Information) && shown.buttons == QMessageBox::Ok
                && shown.title == "Pixdock" && main()->isVisible());
    }

    // Arranging leaves every window usable: the fixed control panel stays where it is, the
    // others are tiled or cascaded in the area beside it without overlapping, cascading keeps
    // their sizes; Arrange Icons lines up only minimised windows.
    void arrangingLeavesThePanelAloneAndEveryWindowUsable_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Tile Horizontal") << "mnuWindowTileHorizontal";
        QTest::newRow("Tile Vertical") << "mnuWindowTileVertical";
        QTest::newRow("Cascade") << "mnuWindowCascade";
        QTest::newRow("Arrange Icons") << "mnuWindowArrangeIcons";
    }
    void arrangingLeavesThePanelAloneAndEveryWindowUsable()
    {
        QFETCH(QString, item);
        main()->resize(1000, 800);
        QWidget *panel = WindowList::instance().at(1)->parentWidget();
        const QRect panelPlace = panel->geometry();
        QMdiSubWindow *a = PlainWindow::open("A"), *b = PlainWindow::open("B");
        a->setGeometry(120, 30, 300, 200);
        b->resize(250, 260);
        if (item == "mnuWindowArrangeIcons") {
            const QList<QRect> before = {a->geometry(), b->geometry()};
            choose(item);
            QCOMPARE(QList<QRect>({a->geometry(), b->geometry()}), before);
            a->showMinimized();
            b->showMinimized();
            a->move(40, 40);
            choose(item);
            QCOMPARE(QList<QPoint>({a->pos(), b->pos()}),
                     arrangement::lineUpIcons(main()->childArea()->viewport()->rect(), {a->size(), b->size()}));
            return;
        }
        b->showMaximized();
        choose(item);
        QVERIFY(panel->geometry() == panelPlace && !b->isMaximized());
        const QRect beside = main()->childArea()->viewport()->rect().adjusted(panelPlace.right() + 1, 0, 0, 0);
        for (QMdiSubWindow *sub : {a, b})
            QVERIFY2(beside.contains(sub->geometry()) && sub->width() >= 200 && sub->height() >= 150, qPrintable(sub->windowTitle()));
        if (item == "mnuWindowCascade") {
            QCOMPARE(QList<QSize>({a->size(), b->size()}), QList<QSize>({{300, 200}, {250, 260}}));
            QVERIFY(a->pos() != b->pos());
        } else {
            // Two tiles share the area beside the panel between them, edge to edge.
            QVERIFY(!a->geometry().intersects(b->geometry()));
            QCOMPARE(a->geometry().united(b->geometry()), beside);
            QCOMPARE(a->y() == b->y(), item == "mnuWindowTileVertical");
        }
    }

    // The menus and the toolbar in order, the bar fixed; the status bar says no image is loaded
    // and shows today's date and time, and a long path in it does not widen the window; View's
    // toggles hide and show the bars.
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
        QCOMPARE(shownItems(bar->actions(), true), QStringLiteral("Open Image|-|Previous Image|Next Image|-|Delete From Database|-|"
                                                                  "Search Database|Image Properties|-|Help"));
        QVERIFY(!bar->isMovable() && main()->statusText() == QStringLiteral("No Image Loaded"));
        // The clock may tick between the panel's update and this reading.
        const auto shown = [this](const char *label) { return main()->findChild<QLabel *>(label)->text(); };
        QTRY_COMPARE(shown("sbStatusBarDate"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        QTRY_COMPARE(shown("sbStatusBarTime"), QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
        const int width = main()->frameGeometry().width();
        main()->setStatusText(QString(400, QLatin1Char('x')));
        QTest::qWait(0);
        QCOMPARE(main()->frameGeometry().width(), width);

        // View's toggles hide and show each bar, the child area taking its room meanwhile.
        const int areaHeight = main()->childArea()->height();
        for (const auto &[item, bar] : {std::pair("mnuViewToolbar", "tbToolBar"), {"mnuViewStatusBar", "sbStatusBar"}})
            for (bool on : {false, true}) {
                choose(item);
                QCOMPARE(main()->menuItem(item)->isChecked(), on);
                QCOMPARE(main()->findChild<QWidget *>(bar)->isVisible(), on);
                QTRY_COMPARE(main()->childArea()->height() > areaHeight, !on);
            }
        QTRY_COMPARE(main()->childArea()->height(), areaHeight);
        // A frame too small for its windows scrolls them into view, as the first run's frame is.
        setPanelCatalogueButtonsVisible(true);
        auto *lowest = WindowList::instance().at(1)->findChild<QPushButton *>(QStringLiteral("cmdThumbnails"));
        QMdiArea *area = main()->childArea();
        const auto inView = [area, lowest] {
            return area->viewport()->rect().contains(QRect(lowest->mapTo(area->viewport(), QPoint()), lowest->size()));
        };
        QVERIFY(!inView());
        QTRY_VERIFY(area->verticalScrollBar()->isVisible());
        area->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QVERIFY(inView());
    }

    // The Window menu lists the open children, activates the chosen one and lists them afresh
    // each time it opens; Exit unloads every child and forgets the main window.
    void theWindowMenuListsTheChildrenAndExitUnloadsThemAll()
    {
        QSignalSpy unloaded(main(), &frmMain::unloaded);
        PlainWindow::unloads = 0;
        const QList<QMdiSubWindow *> children = {PlainWindow::open("Pictures & more"), PlainWindow::open("Second")};
        auto *menu = main()->findChild<QMenu *>("mnuWindow");
        const auto listed = [menu] {
            emit menu->aboutToShow();
            QStringList texts;
            for (const QAction *action : menu->actions())
                if (action->objectName().startsWith("mnuWindowList") && !action->isSeparator())
                    texts << action->text();
            return texts;
        };
        QCOMPARE(listed(), QStringList({"&1 Options", "&2 Pictures && more", "&3 Second"}));
        menu->findChild<QAction *>("mnuWindowList2")->trigger();
        QCOMPARE(main()->childArea()->activeSubWindow(), children.first());
        children.last()->close();
        QCOMPARE(listed().size(), 2);
        choose("mnuFileExit");
        QVERIFY(unloaded.count() == 1 && PlainWindow::unloads == 2 && !m_main.window()->isVisible());
        QVERIFY(!panel() && !frame() && gMainWindow.isNull() && WindowList::instance().count() == 0);
    }
};

PIXDOCK_REGISTER_TEST(TestMainWindow)
#include "tst_frmMain.moc"
