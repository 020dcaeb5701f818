// The main window's commands: placeholders, help, exit, arrangement and the toolbar's dispatch.
#include "ChildWindow.h"
#include "Frame.h"
#include "Locations.h"
#include "MainWindowUnderTest.h"
#include "MessageBox.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowArrangement.h"
#include "WindowList.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;
using pixdock::arrangement::Tiling;

Q_DECLARE_METATYPE(pixdock::frmMain::Command)

namespace {
class PlainWindow : public ChildWindow
{
public:
    explicit PlainWindow(const QString &title)
    {
        setWindowTitle(title);
        resize(200, 150);
    }
    static inline int unloads = 0;

protected:
    void Form_Unload() override { ++unloads; }
};

PlainWindow *openChild(const QString &title)
{
    auto *w = new PlainWindow(title);
    w->load();
    w->showWindow();
    return w;
}

const QString NoHelp = QStringLiteral(
    "Unable to display Help Contents. There is no Help associated with this project.");
} // namespace

class TestMainWindowCommands : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_main.start(); }
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
        QFETCH(QString, item);
        QFETCH(QString, helpFile);
        QFETCH(QString, text);
        QTemporaryDir dir;
        if (!helpFile.isEmpty())
            locations::setHelpCollectionFile(helpFile == "none" ? QString() : dir.filePath("missing.qhc"));
        m_main.window()->findChild<QAction *>(item)->trigger();
        QCOMPARE(MessageBox::shown().size(), 1);
        const MessageBox::Shown &shown = MessageBox::shown().constFirst();
        if (text.isEmpty())
            QVERIFY(!shown.text.isEmpty() && shown.text != NoHelp);
        else
            QCOMPARE(shown.text, text);
        if (text == NoHelp)
            QCOMPARE(shown.icon, MessageBox::Icon::Information);
        QCOMPARE(shown.buttons, MessageBox::Buttons(QMessageBox::Ok));
        QCOMPARE(shown.title, QStringLiteral("Pixdock"));
        QVERIFY(m_main.window()->isVisible());
    }

    void menusAndToolbarReachTheSameCommands_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<frmMain::Command>("command");
        using C = frmMain::Command;
        QTest::newRow("File > Open") << "mnuFileOpen" << C::FileOpen;
        QTest::newRow("toolbar Open") << "tbOpen" << C::FileOpen;
        QTest::newRow("File > Properties") << "mnuFileProperties" << C::FileProperties;
        QTest::newRow("toolbar Properties") << "tbProperties" << C::FileProperties;
        QTest::newRow("File > Print") << "mnuFilePrint" << C::FilePrint;
        QTest::newRow("Images > Previous Image") << "mnuPrev" << C::Previous;
        QTest::newRow("toolbar Back") << "tbBack" << C::ToolbarBack;
        QTest::newRow("Images > Next Image") << "mnuNext" << C::Next;
        QTest::newRow("toolbar Forward") << "tbForward" << C::ToolbarForward;
    }
    void menusAndToolbarReachTheSameCommands()
    {
        QFETCH(QString, trigger);
        QFETCH(frmMain::Command, command);
        QList<frmMain::Command> ran;
        for (int c = 0; c <= int(frmMain::Command::ToolbarForward); ++c) {
            frmMain::setCommandHandler(frmMain::Command(c), [&ran, c](frmMain &) {
                ran << frmMain::Command(c);
            });
        }
        m_main.window()->findChild<QAction *>(trigger)->trigger();
        QCOMPARE(ran, QList<frmMain::Command>{command});
    }

    void aFailingCommandEndsQuietly()
    {
        frmMain::setCommandHandler(frmMain::Command::FileProperties, [](frmMain &) {
            throw RunTimeError(err::FileNotFound, QStringLiteral("File not found"));
        });
        m_main.window()->tbToolBar_ButtonClick(QStringLiteral("Properties"));
        m_main.window()->tbToolBar_ButtonClick(QStringLiteral("NoSuchKey"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void exitUnloadsEveryChildAndForgetsTheMainWindow()
    {
        frmMain *w = m_main.window();
        QSignalSpy unloaded(w, &frmMain::unloaded);
        PlainWindow::unloads = 0;
        openChild(QStringLiteral("A"));
        openChild(QStringLiteral("B"));
        QCOMPARE(WindowList::instance().count(), 4);
        QVERIFY(panel());

        w->menuItem("mnuFileExit")->trigger();
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(PlainWindow::unloads, 2);
        QCOMPARE(panel(), nullptr);
        QCOMPARE(frame(), nullptr);
        QVERIFY(gMainWindow.isNull());
        QCOMPARE(WindowList::instance().count(), 0);
        QVERIFY(!w->isVisible());
    }

    void arrangeIconsLinesUpOnlyMinimisedWindowsAlongTheBottom()
    {
        frmMain *w = m_main.window();
        QMdiSubWindow *a = openChild(QStringLiteral("A"))->subWindow();
        QMdiSubWindow *b = openChild(QStringLiteral("B"))->subWindow();
        a->move(120, 30);
        auto geometries = [w] {
            QList<QRect> all;
            for (QMdiSubWindow *sub : w->childArea()->subWindowList())
                all << sub->geometry();
            return all;
        };
        const QList<QRect> before = geometries();
        w->menuItem("mnuWindowArrangeIcons")->trigger();
        QCOMPARE(geometries(), before);

        a->showMinimized();
        b->showMinimized();
        a->move(40, 40);
        w->menuItem("mnuWindowArrangeIcons")->trigger();
        const QList<QPoint> corners =
            arrangement::lineUpIcons(w->childArea()->viewport()->rect(), {a->size(), b->size()});
        QCOMPARE(a->pos(), corners.at(0));
        QCOMPARE(b->pos(), corners.at(1));
    }

    // Arranging leaves every window usable: the fixed control panel stays where it is, the
    // others are tiled or cascaded in the area beside it, cascading keeps their sizes.
    void arrangingLeavesThePanelAloneAndEveryWindowUsable_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Tile Horizontal") << "mnuWindowTileHorizontal";
        QTest::newRow("Tile Vertical") << "mnuWindowTileVertical";
        QTest::newRow("Cascade") << "mnuWindowCascade";
    }
    void arrangingLeavesThePanelAloneAndEveryWindowUsable()
    {
        QFETCH(QString, item);
        frmMain *w = m_main.window();
        w->resize(1000, 800);
        QMdiSubWindow *panel = qobject_cast<QMdiSubWindow *>(WindowList::instance().at(1)->parentWidget());
        QVERIFY(panel);
        const QRect panelPlace = panel->geometry();
        QMdiSubWindow *a = openChild(QStringLiteral("A"))->subWindow();
        QMdiSubWindow *b = openChild(QStringLiteral("B"))->subWindow();
        a->resize(300, 200);
        b->resize(250, 260);
        b->showMaximized();
        const QSize aSize = a->size();

        w->menuItem(item)->trigger();
        QCOMPARE(panel->geometry(), panelPlace);
        QVERIFY(!b->isMaximized());
        QRect beside = w->childArea()->viewport()->rect();
        beside.setLeft(panelPlace.right() + 1);
        for (QMdiSubWindow *sub : {a, b}) {
            QVERIFY2(beside.contains(sub->geometry()), qPrintable(sub->windowTitle()));
            QVERIFY(sub->width() >= 200 && sub->height() >= 150);
        }
        if (item == "mnuWindowCascade") {
            QCOMPARE(a->size(), aSize);
            QCOMPARE(b->size(), QSize(250, 260));
            QVERIFY(a->pos() != b->pos());
        } else {
            const Tiling how = item == "mnuWindowTileVertical" ? arrangement::Tiling::Vertical
                                                                : arrangement::Tiling::Horizontal;
            const QList<QRect> tiles = arrangement::tile(beside, 2, how);
            QVERIFY(tiles.contains(a->geometry()));
            QVERIFY(tiles.contains(b->geometry()));
            QVERIFY(a->geometry() != b->geometry());
        }
    }

    // A frame too small for its windows scrolls them into view, as the first run's frame is.
    void aWindowReachingPastTheFrameCanBeScrolledIntoView()
    {
        frmMain *w = m_main.window();
        QWidget *panel = WindowList::instance().at(1);
        setPanelCatalogueButtonsVisible(true);
        auto *lowest = panel->findChild<QPushButton *>(QStringLiteral("cmdThumbnails"));
        QMdiArea *area = w->childArea();
        const auto inView = [area](QWidget *widget) {
            const QRect place(widget->mapTo(area->viewport(), QPoint(0, 0)), widget->size());
            return area->viewport()->rect().contains(place);
        };
        QVERIFY(!inView(lowest));
        QScrollBar *bar = area->verticalScrollBar();
        QTRY_VERIFY(bar->isVisible());
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QVERIFY(inView(lowest));
    }

private:
    test::MainWindowUnderTest m_main;
};

PIXDOCK_REGISTER_TEST(TestMainWindowCommands)
#include "tst_frmMainCommands.moc"
