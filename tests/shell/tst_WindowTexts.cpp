// Every text of every window shows whole in the fonts of this platform: labels, options and
// buttons as the windows open, and the result lines they fill in later.
#include "CatalogueStore.h"
#include "CommonDialog.h"
#include "CutOffTexts.h"
#include "MainWindowUnderTest.h"

#include <QLineEdit>

using namespace pixdock;

namespace {
const QString LongName = QStringLiteral("PXL_20230714_153012789_holiday_panorama.jpg");

QWidget *lastWindow() { return WindowList::instance().at(WindowList::instance().count() - 1); }
} // namespace

class TestWindowTexts : public test::MainWindowTest
{
    Q_OBJECT
private slots:
    void everyTextShowsWhole_data()
    {
        QTest::addColumn<QString>("item");  // the menu item that opens the window
        QTest::addColumn<QString>("press"); // a button pressed in it first, if any
        QTest::newRow("control panel with its catalogue buttons") << "mnuDatafrmImgList" << "panel";
        QTest::newRow("add window after saving a long file name") << "mnuAdd" << "cmdAdd";
        QTest::newRow("delete window after removing a long file name") << "mnuDelete" << "cmdContinue";
        QTest::newRow("search window with its results") << "mnuSearch" << "cmdSearch";
        QTest::newRow("list window") << "mnuDatafrmImgList" << "";
        QTest::newRow("viewer") << "mnuFileOpen" << "";
    }

    void everyTextShowsWhole()
    {
        QFETCH(QString, item);
        QFETCH(QString, press);
        const QString picture = test::writePicture(m_pictures.path(), LongName, {40, 30});
        setFrameStatusText(picture);
        if (item == "mnuFileOpen")
            CommonDialog::presetOpen(picture);
        if (item == "mnuSearch")
            catalogue::addRow(catalogue::sharedConnection(), LongName, m_pictures.path(), "beach");
        if (press == "cmdContinue")
            MessageBox::queueAnswer(QMessageBox::Yes);
        main()->menuItem(item)->trigger();
        QWidget *shown = press == "panel" ? WindowList::instance().at(1) : lastWindow();
        if (auto *keywords = shown->findChild<QLineEdit *>("txtKeywords"))
            keywords->setText("beach");
        if (auto *button = shown->findChild<QPushButton *>(press))
            button->click();
        const QStringList cut = test::cutOffTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
    }

};

PIXDOCK_REGISTER_TEST(TestWindowTexts)
#include "tst_WindowTexts.moc"
