// The control panel in the real main window: place, buttons, key report, commands.
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

    // Fixed at the top left, 1295 twips wide: a small title bar, no window buttons, and the
    // user can neither close nor resize it.
    void panelStandsFixedAtTheTopLeft()
    {
        QMdiSubWindow *sub = m_panel->subWindow();
        QCOMPARE(m_panel->windowTitle(), QStringLiteral("Options"));
        QCOMPARE(sub->pos(), QPoint(0, 0));
        QCOMPARE(sub->width(), twips::toPixels(1295));
        QCOMPARE(panelWidthTwips(), twips::fromPixels(twips::toPixels(1295)));
        QCOMPARE(panelHeightTwips(), twips::fromPixels(sub->height()));
        const Qt::WindowFlags flags = sub->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        for (Qt::WindowType button : {Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                      Qt::WindowMaximizeButtonHint})
            QVERIFY(!flags.testFlag(button));
        QCOMPARE(sub->minimumSize(), sub->maximumSize());
        QVERIFY(!sub->close());
        test::flushDeletes();
        QVERIFY(sub->isVisible());
        QCOMPARE(panel(), static_cast<Panel *>(m_panel));

        // It goes with the main window.
        m_main.window()->close();
        test::flushDeletes();
        QVERIFY(m_panel.isNull());
        QCOMPARE(panel(), nullptr);
    }

    void buttonsShowTheirCaptionsAndTips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<bool>("shown");
        auto row = [](const char *name, const char *caption, const char *tooltip, bool shown) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                                << QString::fromLatin1(tooltip) << shown;
        };
        row("cmdOpen", "Open Image", "Open An Image To View", true);
        row("cmdNext", "Next Image", "Open Next In Directory", true);
        row("cmdPrevious", "Previous Image", "Open Previous In Directory", true);
        row("cmdAdd", "Add To Database", "Add Current Picture", true);
        row("cmdDelete", "Delete From Database", "Delete Current Picture", true);
        row("cmdShowAll", "Show Image List", "Show Image List From Database", true);
        row("cmdSearch", "Search Database", "Search The Database", true);
        row("cmdViewNextList", "View Next From Database", "", false);
        row("cmdViewPrevList", "View Prev From Database", "", false);
        row("cmdThumbnails", "Show as Thumbnails", "", false);
        row("Command1", "test", "", false);
    }
    void buttonsShowTheirCaptionsAndTips()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(bool, shown);
        auto *button = m_panel->findChild<QPushButton *>(name);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->toolTip(), tooltip);
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

    // A key released on the panel itself shows its virtual-key number; on a button, nothing.
    void releasingAKeyOnThePanelShowsItsCode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("A") << int(Qt::Key_A) << "65";
        QTest::newRow("Z") << int(Qt::Key_Z) << "90";
        QTest::newRow("0") << int(Qt::Key_0) << "48";
        QTest::newRow("9") << int(Qt::Key_9) << "57";
        QTest::newRow("F1") << int(Qt::Key_F1) << "112";
        QTest::newRow("F12") << int(Qt::Key_F12) << "123";
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "13";
        QTest::newRow("Left") << int(Qt::Key_Left) << "37";
        QTest::newRow("Comma") << int(Qt::Key_Comma) << "188";
        QTest::newRow("a key without a number keeps Qt's") << int(Qt::Key_VolumeUp)
                                                           << QString::number(int(Qt::Key_VolumeUp));
        QTest::newRow("on a button: nothing") << int(Qt::Key_K) << "";
    }
    void releasingAKeyOnThePanelShowsItsCode()
    {
        QFETCH(int, key);
        QFETCH(QString, shown);
        QWidget *target = m_panel;
        if (shown.isEmpty())
            target = m_panel->findChild<QPushButton *>("cmdNext");
        m_panel->bringToFront();
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        QTest::keyRelease(target, Qt::Key(key));
        QCOMPARE(MessageBox::shownTexts(), shown.isEmpty() ? QStringList() : QStringList{shown});
        if (!shown.isEmpty()) {
            QCOMPARE(MessageBox::shown().constFirst().title, QStringLiteral("Pixdock"));
            QCOMPARE(MessageBox::shown().constFirst().buttons, MessageBox::Buttons(QMessageBox::Ok));
        }
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
