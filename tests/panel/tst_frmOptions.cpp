// The control panel in the real main window: place, size, buttons, key report, commands.
#include "MainWindowUnderTest.h"
#include "MessageBox.h"
#include "RunTimeError.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "Twips.h"
#include "WindowList.h"
#include "frmOptions.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

using namespace pixdock;

Q_DECLARE_METATYPE(pixdock::frmOptions::Command)

class TestControlPanel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_main.start();
        m_panel = qobject_cast<frmOptions *>(WindowList::instance().at(1));
        QVERIFY(m_panel);
    }
    void cleanup()
    {
        test::resetProgramState();
        m_main.reset();
        frmOptions::clearCommandHandlers();
        QCOMPARE(test::unusedOrMissingAnswers(), QString());
    }

    void panelStandsAtTheTopLeftOneThousandTwoHundredNinetyFiveTwipsWide()
    {
        QMdiSubWindow *sub = m_panel->subWindow();
        QVERIFY(sub);
        QCOMPARE(m_panel->windowTitle(), QStringLiteral("Options"));
        QCOMPARE(sub->pos(), QPoint(0, 0));
        QCOMPARE(sub->width(), twips::toPixels(1295));
        QCOMPARE(m_panel->height(), twips::toPixels(8685));
        QCOMPARE(panel(), static_cast<Panel *>(m_panel));
        QCOMPARE(panelWidthTwips(), twips::fromPixels(twips::toPixels(1295)));
        QCOMPARE(panelHeightTwips(), twips::fromPixels(sub->height()));
        QCOMPARE(loadedSharedWindow<frmOptions>(), m_panel);
    }

    void panelHasASmallTitleBarAndNoWindowButtonsAndCannotBeClosedOrResized()
    {
        QMdiSubWindow *sub = m_panel->subWindow();
        const Qt::WindowFlags flags = sub->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(sub->minimumSize(), sub->maximumSize());
        // Nor can the user close it.
        QVERIFY(!sub->close());
        test::flushDeletes();
        QVERIFY(sub->isVisible());
        QCOMPARE(WindowList::instance().at(1), m_panel.data());
        QCOMPARE(panel(), static_cast<Panel *>(m_panel));
    }

    void unloadingTheMainWindowUnloadsThePanel()
    {
        m_main.window()->close();
        test::flushDeletes();
        QVERIFY(m_panel.isNull());
        QCOMPARE(panel(), nullptr);
        QCOMPARE(loadedSharedWindow<frmOptions>(), nullptr);
    }

    void buttonsStandAsLaidOut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QRect>("twipsRect");
        QTest::addColumn<bool>("shown");
        auto row = [](const char *name, const char *caption, const char *tooltip, int top, int height,
                      bool shown, int left = 0, int width = 1215) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                                << QString::fromLatin1(tooltip) << QRect(left, top, width, height) << shown;
        };
        row("cmdOpen", "Open Image", "Open An Image To View", 120, 495, true);
        row("cmdNext", "Next Image", "Open Next In Directory", 720, 495, true);
        row("cmdPrevious", "Previous Image", "Open Previous In Directory", 1320, 495, true);
        row("cmdAdd", "Add To Database", "Add Current Picture", 1920, 495, true);
        row("cmdDelete", "Delete From Database", "Delete Current Picture", 2520, 495, true);
        row("cmdShowAll", "Show Image List", "Show Image List From Database", 3120, 495, true);
        row("cmdSearch", "Search Database", "Search The Database", 3720, 495, true);
        row("cmdViewNextList", "View Next From Database", "", 4320, 615, false);
        row("cmdViewPrevList", "View Prev From Database", "", 5040, 615, false);
        row("cmdThumbnails", "Show as Thumbnails", "", 5760, 615, false);
        row("Command1", "test", "", 6600, 375, false, 120, 975);
    }
    void buttonsStandAsLaidOut()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(QRect, twipsRect);
        QFETCH(bool, shown);
        auto *button = m_panel->findChild<QPushButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->toolTip(), tooltip);
        // As laid out; a caption that needs another line in this platform's font makes its
        // button taller, short of the next one.
        const QRect designed = twips::rectToPixels(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height());
        QCOMPARE(button->pos(), designed.topLeft());
        QCOMPARE(button->width(), designed.width());
        QVERIFY(button->height() >= designed.height());
        QVERIFY(button->height() < designed.height() + twips::toPixels(105));
        QCOMPARE(button->isVisible(), shown);
        // The panel's thin border leaves the whole button inside its client area.
        QVERIFY(m_panel->rect().contains(button->geometry()));
    }

    void tabGoesThroughTheButtonsInTheirTabOrder()
    {
        const QStringList order = {"cmdOpen", "cmdNext", "cmdPrevious", "cmdSearch", "cmdAdd", "cmdDelete",
                                   "cmdShowAll", "Command1", "cmdViewNextList", "cmdViewPrevList",
                                   "cmdThumbnails"};
        QStringList chain;
        QWidget *w = m_panel->findChild<QPushButton *>("cmdOpen");
        for (int i = 0; i < order.size(); ++i) {
            chain << w->objectName();
            do {
                w = w->nextInFocusChain();
            } while (!qobject_cast<QPushButton *>(w) || w->parentWidget() != m_panel);
        }
        QCOMPARE(chain, order);
    }

    void catalogueButtonsShowAndHideTogether()
    {
        QVERIFY(!m_panel->catalogueButtonsVisible());
        setPanelCatalogueButtonsVisible(true);
        QVERIFY(m_panel->catalogueButtonsVisible());
        for (const char *name : {"cmdViewNextList", "cmdViewPrevList", "cmdThumbnails"})
            QVERIFY(m_panel->findChild<QPushButton *>(name)->isVisible());
        QVERIFY(!m_panel->findChild<QPushButton *>("Command1")->isVisible());
        setPanelCatalogueButtonsVisible(false);
        for (const char *name : {"cmdViewNextList", "cmdViewPrevList", "cmdThumbnails"})
            QVERIFY(!m_panel->findChild<QPushButton *>(name)->isVisible());
    }

    void releasingAKeyOnThePanelShowsItsCode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << int(Qt::Key_K) << "75";
        QTest::newRow("digit") << int(Qt::Key_7) << "55";
        QTest::newRow("F5") << int(Qt::Key_F5) << "116";
    }
    void releasingAKeyOnThePanelShowsItsCode()
    {
        QFETCH(int, key);
        QFETCH(QString, shown);
        m_panel->bringToFront();
        m_panel->setFocus();
        QTRY_VERIFY(m_panel->hasFocus());
        QTest::keyRelease(m_panel, Qt::Key(key));
        QCOMPARE(MessageBox::shownTexts(), QStringList{shown});
        QCOMPARE(MessageBox::shown().constFirst().title, QStringLiteral("Pixdock"));
        QCOMPARE(MessageBox::shown().constFirst().buttons, MessageBox::Buttons(QMessageBox::Ok));
    }

    void releasingAKeyOnAButtonShowsNothing()
    {
        auto *next = m_panel->findChild<QPushButton *>("cmdNext");
        next->setFocus();
        QTRY_VERIFY(next->hasFocus());
        QTest::keyRelease(next, Qt::Key_K);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void eachButtonRunsItsCommand_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<frmOptions::Command>("command");
        using C = frmOptions::Command;
        QTest::newRow("Open Image") << "cmdOpen" << C::Open;
        QTest::newRow("Next Image") << "cmdNext" << C::Next;
        QTest::newRow("Previous Image") << "cmdPrevious" << C::Previous;
        QTest::newRow("Add To Database") << "cmdAdd" << C::Add;
        QTest::newRow("Delete From Database") << "cmdDelete" << C::Delete;
        QTest::newRow("Show Image List") << "cmdShowAll" << C::ShowAll;
        QTest::newRow("Search Database") << "cmdSearch" << C::Search;
        QTest::newRow("View Next From Database") << "cmdViewNextList" << C::ViewNextList;
        QTest::newRow("View Prev From Database") << "cmdViewPrevList" << C::ViewPrevList;
        QTest::newRow("Show as Thumbnails") << "cmdThumbnails" << C::Thumbnails;
    }
    void eachButtonRunsItsCommand()
    {
        QFETCH(QString, button);
        QFETCH(frmOptions::Command, command);
        QList<frmOptions::Command> ran;
        for (int c = 0; c <= int(frmOptions::Command::Thumbnails); ++c) {
            frmOptions::setCommandHandler(frmOptions::Command(c), [&ran, c](frmOptions &) {
                ran << frmOptions::Command(c);
            });
        }
        setPanelCatalogueButtonsVisible(true);
        QTest::mouseClick(m_panel->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(ran, QList<frmOptions::Command>{command});
    }

    void addToDatabaseLeavesTheFocusOnNextImage()
    {
        bool focusOnNextWhenAddRan = false;
        frmOptions::setCommandHandler(frmOptions::Command::Add, [&](frmOptions &panel) {
            focusOnNextWhenAddRan = panel.findChild<QPushButton *>("cmdNext")->hasFocus();
        });
        auto *add = m_panel->findChild<QPushButton *>("cmdAdd");
        add->setFocus();
        QTRY_VERIFY(add->hasFocus());
        QTest::mouseClick(add, Qt::LeftButton);
        QVERIFY(focusOnNextWhenAddRan);
        QVERIFY(m_panel->findChild<QPushButton *>("cmdNext")->hasFocus());
    }

    void aFailingCommandEndsQuietly()
    {
        frmOptions::setCommandHandler(frmOptions::Command::Next, [](frmOptions &) {
            throw RunTimeError(err::PathNotFound, QStringLiteral("Path not found"));
        });
        m_panel->cmdNext_Click();
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void theTestButtonNamesTheActiveWindowOncePerOpenWindow()
    {
        m_panel->bringToFront();
        m_panel->Command1_Click();
        QCOMPARE(MessageBox::shownTexts(), QStringList({"frmOptions", "frmOptions"}));
    }

private:
    test::MainWindowUnderTest m_main;
    QPointer<frmOptions> m_panel;
};

PIXDOCK_REGISTER_TEST(TestControlPanel)
#include "tst_frmOptions.moc"
