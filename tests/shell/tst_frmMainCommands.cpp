// The main window's commands: placeholders, help, exit, arrangement and the toolbar's dispatch.
#include "ChildWindow.h"
#include "Locations.h"
#include "MainWindowUnderTest.h"
#include "RunTimeError.h"
#include "WindowArrangement.h"

#include <QScrollBar>
#include <QSignalSpy>

using namespace pixdock;

Q_DECLARE_METATYPE(pixdock::frmMain::Command)

namespace {
class PlainWindow : public ChildWindow
{
public:
    static inline int unloads = 0;
    static QMdiSubWindow *open(const QString &title)
    {
        auto *w = new PlainWindow;
        w->setWindowTitle(title);
        w->resize(200, 150);
        w->load();
        w->showWindow();
        return w->subWindow();
    }

protected:
    void Form_Unload() override { ++unloads; }
};

const QString NoHelp = QStringLiteral(
    "Unable to display Help Contents. There is no Help associated with this project.");
} // namespace

class TestMainWindowCommands : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        test::resetProgramState();
        m_main.reset();
        frmMain::clearCommandHandlers();
        locations::restoreHelpCollectionFile();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    // Items with nothing behind them say what code is missing. Without a help file the program
    // says there is none; a help file that cannot be opened is reported, and the program goes on.
    void itemsThatCannotActSaySo_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("helpFile"); // "none", "missing", or empty to leave it
        QTest::addColumn<QString>("text");     // empty: any text but the no-help one
        QTest::newRow("Edit > Undo") << "mnuEditUndo" << "" << "Add 'mnuEditUndo_Click' code.";
        QTest::newRow("Edit > Paste Special") << "mnuEditPasteSpecial" << "" << "Add 'mnuEditPasteSpecial_Click' code.";
        QTest::newRow("Help > Contents, no help") << "mnuHelpContents" << "none" << NoHelp;
        QTest::newRow("Help > Search For Help On, no help") << "mnuHelpSearchForHelpOn" << "none" << NoHelp;
        QTest::newRow("toolbar Help, no help") << "tbHelp" << "none" << NoHelp;
        QTest::newRow("a help file that cannot be opened") << "mnuHelpContents" << "missing" << "";
    }
    void itemsThatCannotActSaySo()
    {
        QFETCH(QString, helpFile);
        QFETCH(QString, text);
        QTemporaryDir dir;
        if (!helpFile.isEmpty())
            locations::setHelpCollectionFile(helpFile == "none" ? QString() : dir.filePath("missing.qhc"));
        QFETCH(QString, item);
        main()->findChild<QAction *>(item)->trigger();
        QCOMPARE(MessageBox::shown().size(), 1);
        const MessageBox::Shown &shown = MessageBox::shown().constFirst();
        QVERIFY(text.isEmpty() ? !shown.text.isEmpty() && shown.text != NoHelp : shown.text == text);
        if (text == NoHelp)
            QCOMPARE(shown.icon, MessageBox::Icon::Information);
        QCOMPARE(shown.buttons, MessageBox::Buttons(QMessageBox::Ok));
        QCOMPARE(shown.title, QStringLiteral("Pixdock"));
        QVERIFY(main()->isVisible());
    }

    // The routes the other tests do not follow with real windows behind them; a failing
    // command and an unknown toolbar key end quietly.
    void menusAndToolbarReachTheSameCommands_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<frmMain::Command>("command");
        using C = frmMain::Command;
        QTest::newRow("toolbar Open") << "tbOpen" << C::FileOpen;
        QTest::newRow("File > Properties") << "mnuFileProperties" << C::FileProperties;
        QTest::newRow("toolbar Properties") << "tbProperties" << C::FileProperties;
        QTest::newRow("File > Print") << "mnuFilePrint" << C::FilePrint;
    }
    void menusAndToolbarReachTheSameCommands()
    {
        QFETCH(QString, trigger);
        QFETCH(frmMain::Command, command);
        QList<frmMain::Command> ran;
        for (int c = 0; c <= int(frmMain::Command::ToolbarForward); ++c)
            frmMain::setCommandHandler(frmMain::Command(c), [&ran, c](frmMain &) { ran << frmMain::Command(c); });
        main()->findChild<QAction *>(trigger)->trigger();
        QCOMPARE(ran, QList<frmMain::Command>{command});
        frmMain::setCommandHandler(command, [](frmMain &) { throw RunTimeError(err::FileNotFound, "File not found"); });
        main()->findChild<QAction *>(trigger)->trigger();
        main()->tbToolBar_ButtonClick(QStringLiteral("NoSuchKey"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void exitUnloadsEveryChildAndForgetsTheMainWindow()
    {
        QSignalSpy unloaded(main(), &frmMain::unloaded);
        PlainWindow::unloads = 0;
        PlainWindow::open("A");
        PlainWindow::open("B");
        main()->menuItem("mnuFileExit")->trigger();
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(PlainWindow::unloads, 2);
        QCOMPARE(panel(), nullptr);
        QCOMPARE(frame(), nullptr);
        QVERIFY(gMainWindow.isNull());
        QCOMPARE(WindowList::instance().count(), 0);
        QVERIFY(!m_main.window()->isVisible());
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
        QMdiSubWindow *a = PlainWindow::open("A");
        QMdiSubWindow *b = PlainWindow::open("B");
        a->setGeometry(120, 30, 300, 200);
        b->resize(250, 260);
        if (item == "mnuWindowArrangeIcons") {
            const QRect aBefore = a->geometry(), bBefore = b->geometry();
            main()->menuItem(item)->trigger();
            QCOMPARE(a->geometry(), aBefore);
            QCOMPARE(b->geometry(), bBefore);
            a->showMinimized();
            b->showMinimized();
            a->move(40, 40);
            main()->menuItem(item)->trigger();
            const QList<QPoint> corners =
                arrangement::lineUpIcons(main()->childArea()->viewport()->rect(), {a->size(), b->size()});
            QCOMPARE(a->pos(), corners.at(0));
            QCOMPARE(b->pos(), corners.at(1));
            return;
        }
        b->showMaximized();
        main()->menuItem(item)->trigger();
        QCOMPARE(panel->geometry(), panelPlace);
        QVERIFY(!b->isMaximized());
        QRect beside = main()->childArea()->viewport()->rect();
        beside.setLeft(panelPlace.right() + 1);
        for (QMdiSubWindow *sub : {a, b}) {
            QVERIFY2(beside.contains(sub->geometry()), qPrintable(sub->windowTitle()));
            QVERIFY(sub->width() >= 200 && sub->height() >= 150);
        }
        if (item == "mnuWindowCascade") {
            QCOMPARE(a->size(), QSize(300, 200));
            QCOMPARE(b->size(), QSize(250, 260));
            QVERIFY(a->pos() != b->pos());
        } else {
            // Two tiles share the area beside the panel between them, edge to edge.
            QVERIFY(!a->geometry().intersects(b->geometry()));
            QCOMPARE(a->geometry().united(b->geometry()), beside);
            QCOMPARE(a->y() == b->y(), item == "mnuWindowTileVertical");
        }
    }

    // A frame too small for its windows scrolls them into view, as the first run's frame is.
    void aWindowReachingPastTheFrameCanBeScrolledIntoView()
    {
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

};

PIXDOCK_REGISTER_TEST(TestMainWindowCommands)
#include "tst_frmMainCommands.moc"
