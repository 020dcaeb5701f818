// The search window: keywords as typed, "No match found." leaving earlier results and the
// panel's buttons, snapshots, the keys, and opening a result.
#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "CatalogueWindowHost.h"
#include "Frame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmSearch.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace pixdock;
using catalogue::CatalogueGrid;

class TestFrmSearch : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:
    void init()
    {
        CatalogueWindowTest::init();
        m_host->addRows({{"beach.jpg", "/p", "Beach in ÉTÉ"},
                         {"dog.jpg", "/p", "dog"},
                         {"both.jpg", "/q", "beach with a dog"},
                         {"none.jpg", "/", "None"},
                         {"pct.jpg", "/p", "100% sure"},
                         {"us.jpg", "/p", "a_b 1000 axb"},
                         {"bs.jpg", "/p", "c\\d, not cd"}});
    }

    void findsDescriptionsHoldingAnyKeywordAsTyped_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("one, any case") << "BEACH" << QStringList{"beach.jpg", "both.jpg"};
        QTest::newRow("two") << "beach,dog" << QStringList{"beach.jpg", "dog.jpg", "both.jpg"};
        QTest::newRow("leading blank is part of the keyword") << "zzz, dog" << QStringList{"both.jpg"};
        const QStringList all{"beach.jpg", "dog.jpg", "both.jpg", "none.jpg", "pct.jpg", "us.jpg", "bs.jpg"};
        QTest::newRow("empty finds all") << "" << all;
        QTest::newRow("trailing comma finds all") << "zzz," << all;
        QTest::newRow("None") << "none" << QStringList{"none.jpg"};
        QTest::newRow("literal percent") << "100%" << QStringList{"pct.jpg"};
        QTest::newRow("literal underscore") << "a_b" << QStringList{"us.jpg"};
        QTest::newRow("literal backslash") << "c\\d" << QStringList{"bs.jpg"};
        QTest::newRow("quote") << "it's" << QStringList{};
        QTest::newRow("accents in any case") << "été" << QStringList{"beach.jpg"};
    }
    void findsDescriptionsHoldingAnyKeywordAsTyped()
    {
        QFETCH(QString, keywords);
        QFETCH(QStringList, found);
        frmSearch *w = test::shownWindow<frmSearch>();
        keywordBox(w)->setText(keywords);
        w->cmdSearch_Click();
        QVERIFY(message(w)->isVisible());
        if (found.isEmpty()) {
            QCOMPARE(message(w)->text(), QStringLiteral("No match found."));
            return;
        }
        QCOMPARE(test::gridNames(w->grid()), found);
        QVERIFY(w->grid()->isVisible());
        QCOMPARE(message(w)->text(), QStringLiteral("Double click on filename to load picture."));
    }

    void noMatchLeavesEarlierResults_data()
    {
        QTest::addColumn<QString>("earlier"); // keywords searched first, empty for none
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("after results") << "dog" << QStringList{"dog.jpg", "both.jpg"};
        QTest::newRow("at first: no grid, no buttons") << "" << QStringList{};
    }
    void noMatchLeavesEarlierResults()
    {
        QFETCH(QString, earlier);
        QFETCH(QStringList, shown);
        frmSearch *w = test::shownWindow<frmSearch>();
        if (!earlier.isEmpty()) {
            keywordBox(w)->setText(earlier);
            w->cmdSearch_Click();
        }
        keywordBox(w)->setText(QStringLiteral("zebra"));
        w->cmdSearch_Click();
        QCOMPARE(message(w)->text(), QStringLiteral("No match found."));
        QCOMPARE(w->grid()->isVisible(), !shown.isEmpty());
        QCOMPARE(m_host->panel().catalogueButtonsVisible(), !shown.isEmpty());
        if (!shown.isEmpty())
            QCOMPARE(test::gridNames(w->grid()), shown);
    }

    void enterSearchesAndAnyKeyHidesTheMessage()
    {
        frmSearch *w = test::shownWindow<frmSearch>();
        QLineEdit *box = keywordBox(w);
        QTest::keyClicks(box, QStringLiteral("zebra"));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(message(w)->isVisible());
        QCOMPARE(message(w)->text(), QStringLiteral("No match found."));
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(message(w)->isHidden());
        box->setText(QStringLiteral("dog"));
        QTest::keyClick(box, Qt::Key_Enter);
        QCOMPARE(message(w)->text(), QStringLiteral("Double click on filename to load picture."));
        QCOMPARE(w->grid()->rows(), 3);
    }

    void doubleClickOpensTheRowsPicture()
    {
        m_host->openViewer(QStringLiteral("/earlier.jpg"));
        frmSearch *w = test::shownWindow<frmSearch>();
        keywordBox(w)->setText(QStringLiteral("beach,None"));
        w->cmdSearch_Click();
        test::doubleClickCell(w->grid(), 2, 2);
        QCOMPARE(m_host->openedPictures, QStringList{"/q/both.jpg"});
        QCOMPARE(gListRow, 2);
        QCOMPARE(gCurrentPath, QStringLiteral("/q/both.jpg"));
        test::doubleClickCell(w->grid(), 3, 0);
        // The root folder keeps one separator.
        QCOMPARE(gCurrentPath, QStringLiteral("/none.jpg"));
        QCOMPARE(gListRow, 3);
        // Viewers opened before stay: the search window is not the only other window.
        QCOMPARE(m_host->openViewers(), 3);
        QCOMPARE(m_host->broughtToFront, (QList<bool>{false, false}));
    }

private:
    static QLineEdit *keywordBox(frmSearch *w) { return w->findChild<QLineEdit *>(QStringLiteral("txtKeywords")); }
    static QLabel *message(frmSearch *w) { return w->findChild<QLabel *>(QStringLiteral("lblMessage")); }

};

PIXDOCK_REGISTER_TEST(TestFrmSearch)
#include "tst_frmSearch.moc"
