// The menus, the toolbar and the control panel reach the same commands, with the real
// viewing and catalogue windows behind them, and every window they open shows its texts whole.
#include "CatalogueStore.h"
#include "CommonDialog.h"
#include "CutOffTexts.h"
#include "MainWindowUnderTest.h"
#include "UserInput.h"

#include <QLineEdit>

using namespace pixdock;

using test::lastWindow;
using test::windowsCaptioned;

namespace {
QPushButton *panelButton(const QString &name) { return WindowList::instance().at(1)->findChild<QPushButton *>(name); }
} // namespace

class TestCommandRoutes : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    // Menu, toolbar and panel step through the same folder.
    void menuToolbarAndPanelStepThroughTheFolderAndTheCatalogue()
    {
        for (const char *name : {"a.png", "b.png", "c.png"})
            test::writePicture(m_pictures.path(), QLatin1String(name), {40, 30});
        CommonDialog::presetOpen(m_pictures.filePath("a.png"));
        choose("mnuFileOpen");
        QCOMPARE(frameStatusText(), m_pictures.filePath("a.png"));
        const QList<std::pair<QString, QString>> steps = {{"mnuNext", "b.png"}, {"tbForward", "c.png"}, {"tbBack", "b.png"},
            {"mnuPrev", "a.png"}, {"cmdNext", "b.png"}, {"cmdPrevious", "a.png"}};
        for (const auto &[route, expected] : steps) {
            if (route.startsWith(QLatin1String("cmd"))) {
                // The panel's buttons pressed from the keyboard: Enter and keypad Enter press
                // the focused button, as in every window.
                panelButton(route)->setFocus(Qt::TabFocusReason);
                QTRY_COMPARE(QApplication::focusWidget(), panelButton(route));
                const bool keypad = route == "cmdPrevious";
                QVERIFY(test::pressKey(keypad ? Qt::Key_Enter : Qt::Key_Return, keypad ? Qt::KeypadModifier : Qt::NoModifier));
            } else {
                choose(route);
            }
            QVERIFY2(frameStatusText() == m_pictures.filePath(expected) && gCurrentPath == frameStatusText(), qPrintable(route));
            // Stepping replaces the viewer at position 2 instead of piling viewers up.
            QCOMPARE(windowsCaptioned(QStringLiteral("Image Viewer")), 1);
        }
        choose("tbBack");
        QCOMPARE(MessageBox::shownTexts().last(), QStringLiteral("This is the first image!"));

        // The panel's catalogue buttons come with the list window, step through the catalogue in
        // name order and thumbnail it, and go when the search window closes.
        for (const char *name : {"b.png", "a.png"})
            catalogue::addRow(catalogue::sharedConnection(), QLatin1String(name), m_pictures.path(), QStringLiteral("beach"));
        QPushButton *next = panelButton("cmdViewNextList");
        QVERIFY(next->isHidden());
        panelButton("cmdShowAll")->click();
        panelButton("cmdShowAll")->click();
        QVERIFY(windowsCaptioned(QStringLiteral("Database Image List")) == 1 && !next->isHidden());
        next->click();
        QCOMPARE(gCurrentPath, m_pictures.filePath("a.png"));
        panelButton("cmdThumbnails")->click();
        QTRY_COMPARE(windowsCaptioned(QStringLiteral("Thumbnail Viewer")), 1);
        panelButton("cmdSearch")->click();
        QWidget *search = lastWindow();
        QCOMPARE(search->windowTitle(), QStringLiteral("Search Database"));
        // Asked for again while behind the list, the search window comes to the front.
        panelButton("cmdShowAll")->click();
        QVERIFY(main()->childArea()->activeSubWindow()->widget() != search);
        panelButton("cmdSearch")->click();
        QCOMPARE(main()->childArea()->activeSubWindow()->widget(), search);
        unloadWindow(search);
        // Closing the search window hides them although the list is still open.
        QVERIFY(next->isHidden());
    }

    // Every window the menus and the toolbar open, asked for twice (the list window is the only
    // one that opens again), shows every text whole in the fonts of this platform: labels,
    // options and buttons as the windows open, and the result lines they fill in later.
    void everyWindowOpensOnceAndShowsItsTextsWhole_data()
    {
        QTest::addColumn<QString>("item");  // the menu item or toolbar key that opens the window
        QTest::addColumn<QString>("press"); // a button pressed in it first, if any
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("windows");
        QTest::newRow("control panel with its catalogue buttons") << "mnuDatafrmImgList" << "panel" << "Database Image List" << 2;
        QTest::newRow("add window after saving a long file name") << "mnuAdd" << "cmdAdd" << "Add To Database" << 1;
        QTest::newRow("delete window after removing a long file name") << "mnuDelete" << "cmdContinue" << "Delete Images" << 1;
        QTest::newRow("toolbar Delete") << "tbDelete" << "" << "Delete Images" << 1;
        QTest::newRow("search window with its results") << "mnuSearch" << "cmdSearch" << "Search Database" << 1;
        QTest::newRow("toolbar Find") << "tbFind" << "" << "Search Database" << 1;
        QTest::newRow("viewer") << "mnuFileOpen" << "" << "Image Viewer" << 1;
    }
    void everyWindowOpensOnceAndShowsItsTextsWhole()
    {
        QFETCH(QString, item);
        QFETCH(QString, press);
        const QString name = QStringLiteral("PXL_20230714_153012789_holiday_panorama.jpg");
        const QString picture = test::writePicture(m_pictures.path(), name, {40, 30});
        setFrameStatusText(picture);
        if (item == "mnuFileOpen")
            CommonDialog::presetOpen(picture);
        if (press == "cmdSearch")
            catalogue::addRow(catalogue::sharedConnection(), name, m_pictures.path(), "beach");
        if (press == "cmdContinue")
            MessageBox::queueAnswer(QMessageBox::Yes);
        for (int times = item == "mnuFileOpen" ? 1 : 2; times > 0; --times)
            choose(item);
        QFETCH(QString, caption);
        QTEST(windowsCaptioned(caption), "windows");
        QWidget *shown = press == "panel" ? WindowList::instance().at(1) : lastWindow();
        if (auto *keywords = shown->findChild<QLineEdit *>("txtKeywords"))
            keywords->setText("beach");
        if (auto *button = shown->findChild<QPushButton *>(press))
            button->click();
        const QStringList cut = test::cutOffTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
    }
};

PIXDOCK_REGISTER_TEST(TestCommandRoutes)
#include "tst_CommandRoutes.moc"
