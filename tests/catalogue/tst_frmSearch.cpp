// The search window: keywords as typed, "No match found." leaving earlier results and the
// panel's buttons, snapshots, the keys, and opening a result.
#include "CatalogueTestSupport.h"

using namespace pixdock;
using test::messageOf;

const QString NoMatch = QStringLiteral("No match found.");
const QString Found = QStringLiteral("Double click on filename to load picture.");

class TestFrmSearch : public test::CatalogueWindowTest
{
    Q_OBJECT
public:
    TestFrmSearch() { m_startRows = {{"beach.jpg", "/p", "Beach in ÉTÉ"}, {"dog.jpg", "/p", "dog axb"},
                                     {"both.jpg", "/q", "beach with a dog"}, {"none.jpg", "/", "None"}, {"pct.jpg", "/p", "100% sure"},
                                     {"us.jpg", "/p", "a_b 1000"}, {"bs.jpg", "/p", "c\\d, not cd"}}; }

private slots:
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
        QTest::newRow("literal backslash at the end") << "c\\" << "bs.jpg";
        QTest::newRow("quote") << "it's" << "";
        QTest::newRow("accents in any case") << "été" << "beach.jpg";
    }
    void findsDescriptionsHoldingAnyKeywordAsTyped()
    {
        QFETCH(QString, keywords);
        QFETCH(QString, found);
        frmSearch *w = test::searchFor(keywords);
        QVERIFY(messageOf(w)->isVisible());
        QCOMPARE(messageOf(w)->text(), found.isEmpty() ? NoMatch : Found);
        if (!found.isEmpty()) {
            QCOMPARE(test::gridNames(w->grid()).join(' '), found);
            QVERIFY(w->grid()->isVisible());
        }
    }

    // Keys and Enter: no match at first shows neither grid nor the panel's buttons; any key
    // hides the message; a match shows the grid; a later miss leaves the earlier results.
    void enterSearchesAndANoMatchLeavesEarlierResults()
    {
        frmSearch *w = test::shownWindow<frmSearch>();
        QLineEdit *box = test::childOf<QLineEdit>(w, "txtKeywords");
        // The keywords typed and Enter pressed: the window's line, and whether the grid and the
        // panel's catalogue buttons show.
        const auto shows = [&](const QString &keywords, Qt::Key enter, const QString &line, bool results) {
            box->clear();
            QTest::keyClicks(box, keywords);
            QTest::keyClick(box, enter);
            QCOMPARE(messageOf(w)->text(), line);
            QVERIFY(messageOf(w)->isVisible());
            QCOMPARE(w->grid()->isVisible(), results);
            QCOMPARE(panelButtonsVisible(), results);
        };
        shows(QStringLiteral("zebra"), Qt::Key_Return, NoMatch, false);
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(messageOf(w)->isHidden());
        shows(QStringLiteral("dog"), Qt::Key_Enter, Found, true);
        shows(QStringLiteral("zebra"), Qt::Key_Return, NoMatch, true);
        QCOMPARE(test::gridNames(w->grid()), (QStringList{"dog.jpg", "both.jpg"}));
    }

    // A result double-clicked opens its picture (the root folder keeping one separator); the
    // viewers opened before stay, as the search window is not the only other window.
    void doubleClickOpensTheRowsPicture()
    {
        openViewer(QStringLiteral("/earlier.jpg"));
        frmSearch *w = test::searchFor(QStringLiteral("beach,None"));
        test::doubleClickCell(w->grid(), 2, 2);
        QCOMPARE(m_opened, QStringList{"/q/both.jpg"});
        QCOMPARE(gCurrentPath + ' ' + QString::number(gListRow), QStringLiteral("/q/both.jpg 2"));
        test::doubleClickCell(w->grid(), 3, 0);
        QCOMPARE(gCurrentPath + ' ' + QString::number(gListRow), QStringLiteral("/none.jpg 3"));
        QCOMPARE(openViewers(), 3);
        QCOMPARE(m_broughtToFront, (QList<bool>{false, false}));
    }
};

PIXDOCK_REGISTER_TEST(TestFrmSearch)
#include "tst_frmSearch.moc"
