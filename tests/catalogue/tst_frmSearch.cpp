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
        QTest::addColumn<QString>("found"); // the names in the grid's order; none: no match
        const QString all = QStringLiteral("beach.jpg dog.jpg both.jpg none.jpg pct.jpg us.jpg bs.jpg");
        QTest::newRow("one, any case") << "BEACH" << "beach.jpg both.jpg";
        QTest::newRow("two") << "beach,dog" << "beach.jpg dog.jpg both.jpg";
        QTest::newRow("leading blank is part of the keyword") << "zzz, dog" << "both.jpg";
        QTest::newRow("empty finds all") << "" << all;
        QTest::newRow("trailing comma finds all") << "zzz," << all;
        QTest::newRow("None") << "none" << "none.jpg";
        QTest::newRow("literal percent") << "100%" << "pct.jpg";
        QTest::newRow("literal underscore") << "a_b" << "us.jpg";
        QTest::newRow("literal backslash") << "c\\d" << "bs.jpg";
        QTest::newRow("quote") << "it's" << "";
        QTest::newRow("accents in any case") << "été" << "beach.jpg";
    }
    void findsDescriptionsHoldingAnyKeywordAsTyped()
    {
        QFETCH(QString, keywords);
        QFETCH(QString, found);
        frmSearch *w = test::shownWindow<frmSearch>();
        keywordBox(w)->setText(keywords);
        w->cmdSearch_Click();
        QVERIFY(message(w)->isVisible());
        if (found.isEmpty()) {
            QCOMPARE(message(w)->text(), QStringLiteral("No match found."));
            return;
        }
        QCOMPARE(test::gridNames(w->grid()).join(' '), found);
        QVERIFY(w->grid()->isVisible());
        QCOMPARE(message(w)->text(), QStringLiteral("Double click on filename to load picture."));
    }

    // Keys and Enter: no match at first shows neither grid nor the panel's buttons; any key
    // hides the message; a match shows the grid; a later miss leaves the earlier results.
    void enterSearchesAndANoMatchLeavesEarlierResults()
    {
        frmSearch *w = test::shownWindow<frmSearch>();
        QLineEdit *box = keywordBox(w);
        // The window's line, and whether the grid and the panel's catalogue buttons show.
        const auto shows = [&](const QString &line, bool results) {
            QCOMPARE(message(w)->text(), line);
            QVERIFY(message(w)->isVisible());
            QCOMPARE(w->grid()->isVisible(), results);
            QCOMPARE(m_host->panel().catalogueButtonsVisible(), results);
        };
        QTest::keyClicks(box, QStringLiteral("zebra"));
        QTest::keyClick(box, Qt::Key_Return);
        shows(QStringLiteral("No match found."), false);
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(message(w)->isHidden());
        box->setText(QStringLiteral("dog"));
        QTest::keyClick(box, Qt::Key_Enter);
        shows(QStringLiteral("Double click on filename to load picture."), true);
        box->setText(QStringLiteral("zebra"));
        QTest::keyClick(box, Qt::Key_Return);
        shows(QStringLiteral("No match found."), true);
        QCOMPARE(test::gridNames(w->grid()), (QStringList{"dog.jpg", "both.jpg"}));
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
