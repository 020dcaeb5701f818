// Every text of every window shows whole in the fonts of this platform: labels, options and
// buttons as the windows open, and the result lines they fill in later.
#include "CatalogueStore.h"
#include "CommandWiring.h"
#include "CommonDialog.h"
#include "CutOffTexts.h"
#include "Frame.h"
#include "MainWindowUnderTest.h"
#include "MessageBox.h"
#include "Pictures.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingSetup.h"
#include "WindowList.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace pixdock;

namespace {
const QString LongName = QStringLiteral("PXL_20230714_153012789_holiday_panorama.jpg");

QWidget *lastWindow() { return WindowList::instance().at(WindowList::instance().count() - 1); }
} // namespace

class TestWindowTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        viewing::installViewerOpeners();
        installCommandHandlers();
    }
    void init() { m_main.start(); }
    void cleanup()
    {
        const QString problems = test::unusedOrMissingAnswers();
        m_main.close();
        test::resetProgramState();
        m_main.reset();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void everyTextShowsWhole_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *w : {"control panel with its catalogue buttons", "add window",
                              "add window after saving a long file name", "delete window",
                              "delete window after removing a long file name", "search window with results",
                              "search window without a match", "list window", "viewer"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }

    void everyTextShowsWhole()
    {
        QFETCH(QString, window);
        frmMain *main = m_main.window();
        const QString picture = test::writePicture(m_pictures.path(), LongName, {40, 30});
        QWidget *shown = nullptr;
        if (window.startsWith("control panel")) {
            main->menuItem("mnuDatafrmImgList")->trigger();
            shown = WindowList::instance().at(1);
        } else if (window.startsWith("add window")) {
            setFrameStatusText(picture);
            main->menuItem("mnuAdd")->trigger();
            shown = lastWindow();
            if (window.contains("saving"))
                shown->findChild<QPushButton *>("cmdAdd")->click();
        } else if (window.startsWith("delete window")) {
            setFrameStatusText(picture);
            main->menuItem("mnuDelete")->trigger();
            shown = lastWindow();
            if (window.contains("removing")) {
                MessageBox::queueAnswer(QMessageBox::Yes);
                shown->findChild<QPushButton *>("cmdContinue")->click();
            }
        } else if (window.startsWith("search window")) {
            catalogue::addRow(catalogue::sharedConnection(), LongName, m_pictures.path(), "beach");
            main->menuItem("mnuSearch")->trigger();
            shown = lastWindow();
            shown->findChild<QLineEdit *>("txtKeywords")->setText(window.contains("results") ? "beach" : "zebra");
            shown->findChild<QPushButton *>("cmdSearch")->click();
        } else if (window == "list window") {
            main->menuItem("mnuDatafrmImgList")->trigger();
            shown = lastWindow();
        } else if (window == "viewer") {
            CommonDialog::presetOpen(picture);
            main->menuItem("mnuFileOpen")->trigger();
            shown = lastWindow();
        }
        QVERIFY(shown);
        const QStringList cut = test::cutOffTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
    }

private:
    test::MainWindowUnderTest m_main;
    QTemporaryDir m_pictures;
};

PIXDOCK_REGISTER_TEST(TestWindowTexts)
#include "tst_WindowTexts.moc"
