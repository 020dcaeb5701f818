// The control panel in the real main window: place, buttons, key report, commands.
#include "MainWindowUnderTest.h"
#include "RunTimeError.h"
#include "frmOptions.h"

using namespace pixdock;

class TestControlPanel : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    void init()
    {
        MainWindowTest::init();
        QVERIFY(m_panel = qobject_cast<frmOptions *>(WindowList::instance().at(1)));
    }
    void cleanup()
    {
        MainWindowTest::cleanup();
        frmOptions::clearCommandHandlers();
    }

    // The panel as the user finds it: each button's caption and tip, whether it shows at start,
    // whole inside the panel, in tab order. The test button names the active window once per
    // open window; a key released on the panel itself shows its virtual-key number (a key
    // without one keeps Qt's), released on a button nothing. Fixed at the top left, 1295 twips
    // wide: a small title bar, no window buttons, and the user can neither close nor resize it;
    // it goes with the main window.
    void thePanelAsTheUserFindsIt()
    {
        QStringList shown;
        QWidget *w = m_panel->findChild<QPushButton *>("cmdOpen");
        for (int i = 0; i < 11; ++i) {
            auto *button = static_cast<QPushButton *>(w);
            shown << QStringLiteral("%1|%2|%3|%4").arg(button->objectName(), button->text(), button->toolTip(),
                                                       button->isVisible() ? "shown" : "hidden");
            QVERIFY(m_panel->rect().contains(button->geometry()));
            do
                w = w->nextInFocusChain();
            while (!qobject_cast<QPushButton *>(w) || w->parentWidget() != m_panel);
        }
        QCOMPARE(shown, QStringList({"cmdOpen|Open Image|Open An Image To View|shown",
                                     "cmdNext|Next Image|Open Next In Directory|shown",
                                     "cmdPrevious|Previous Image|Open Previous In Directory|shown",
                                     "cmdSearch|Search Database|Search The Database|shown",
                                     "cmdAdd|Add To Database|Add Current Picture|shown",
                                     "cmdDelete|Delete From Database|Delete Current Picture|shown",
                                     "cmdShowAll|Show Image List|Show Image List From Database|shown",
                                     "Command1|test||hidden", "cmdViewNextList|View Next From Database||hidden",
                                     "cmdViewPrevList|View Prev From Database||hidden",
                                     "cmdThumbnails|Show as Thumbnails||hidden"}));
        m_panel->bringToFront();
        m_panel->Command1_Click();
        for (QWidget *target : {static_cast<QWidget *>(m_panel.data()), m_panel->findChild<QWidget *>("cmdNext")}) {
            target->setFocus();
            QTRY_VERIFY(target->hasFocus());
            for (Qt::Key key : {Qt::Key_A, Qt::Key_9, Qt::Key_F12, Qt::Key_Enter, Qt::Key_Left, Qt::Key_Comma, Qt::Key_VolumeUp})
                QTest::keyRelease(target, key);
        }
        QCOMPARE(MessageBox::shownTexts(), QStringList({"frmOptions", "frmOptions", "65", "57", "123", "13", "37", "188",
                                                        QString::number(Qt::Key_VolumeUp)}));
        for (const MessageBox::Shown &shown : MessageBox::shown())
            QCOMPARE(shown.title, QStringLiteral("Pixdock"));
        QMdiSubWindow *sub = m_panel->subWindow();
        QCOMPARE(m_panel->windowTitle(), QStringLiteral("Options"));
        QCOMPARE(sub->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(QList<int>({panelWidthTwips(), sub->width()}), QList<int>({1290, 86}));
        QCOMPARE(sub->windowFlags() & (Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint),
                 Qt::WindowTitleHint);
        QCOMPARE(sub->minimumSize(), sub->maximumSize());
        QVERIFY(!sub->close());
        test::flushDeletes();
        QVERIFY(sub->isVisible());
        main()->close();
        test::flushDeletes();
        QVERIFY(m_panel.isNull() && !panel());
    }

    // The buttons the journeys through real windows do not press; a failing command ends quietly.
    // Add To Database hands the focus to Next Image before its command runs.
    void eachButtonRunsItsCommand_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<frmOptions::Command>("command");
        using C = frmOptions::Command;
        QTest::newRow("Open Image") << "cmdOpen" << C::Open;
        QTest::newRow("Add To Database") << "cmdAdd" << C::Add;
        QTest::newRow("Delete From Database") << "cmdDelete" << C::Delete;
        QTest::newRow("View Prev From Database") << "cmdViewPrevList" << C::ViewPrevList;
    }
    void eachButtonRunsItsCommand()
    {
        QFETCH(QString, button);
        QFETCH(frmOptions::Command, command);
        QList<frmOptions::Command> ran;
        auto *next = m_panel->findChild<QPushButton *>("cmdNext");
        bool focusOnNext = false;
        for (int c = 0; c <= int(frmOptions::Command::Thumbnails); ++c)
            frmOptions::setCommandHandler(frmOptions::Command(c), [&, c](frmOptions &) {
                ran << frmOptions::Command(c);
                focusOnNext = next->hasFocus();
            });
        setPanelCatalogueButtonsVisible(true);
        QTest::mouseClick(m_panel->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(ran, QList<frmOptions::Command>{command});
        QCOMPARE(focusOnNext && next->hasFocus(), command == frmOptions::Command::Add);
        frmOptions::setCommandHandler(command, [](frmOptions &) { throw RunTimeError(err::PathNotFound, "Path not found"); });
        QTest::mouseClick(m_panel->findChild<QPushButton *>(button), Qt::LeftButton);
        QVERIFY(MessageBox::shown().isEmpty());
    }

private:
    QPointer<frmOptions> m_panel;
};

PIXDOCK_REGISTER_TEST(TestControlPanel)
#include "tst_frmOptions.moc"
