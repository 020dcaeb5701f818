// Catalogue stepping: forward and back through the list window's grid (or the search
// results), the two end messages, which grid is stepped, and viewers replaced.
#include "CatalogueGrid.h"
#include "CatalogueStepping.h"
#include "CatalogueWindowHost.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QLineEdit>
#include <QTest>

using namespace pixdock;
using namespace pixdock::catalogue;

namespace {
const QString LastMessage = QStringLiteral("This is the last image in the list.");
const QString FirstMessage = QStringLiteral("This is the first image in the list.");
} // namespace

class TestCatalogueStepping : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:
    void init()
    {
        CatalogueWindowTest::init();
        // Listed by name: r1 to r6; the search for "even" finds r2, r4, r6.
        m_host->addRows({{"r3.jpg", "/", "odd"},
                         {"r1.jpg", "/a", "odd"},
                         {"r2.jpg", "/b/", "even"},
                         {"r5.jpg", "/c", "odd"},
                         {"r4.jpg", "/d", "even"},
                         {"r6.jpg", "", "even"}});
    }

    // A fresh list starts at row one and brings the picture to the front; stepping goes on from
    // the row last opened; past either end a message says so and the picture stays.
    void stepsThroughTheListAndStopsAtEitherEnd()
    {
        frmImgList *list = test::shownWindow<frmImgList>();
        stepCatalogueForward();
        QCOMPARE(m_host->openedPictures, QStringList{"/a/r1.jpg"});
        QCOMPARE(m_host->broughtToFront, QList<bool>{true});
        stepCatalogueBackward();
        QCOMPARE(MessageBox::shownTexts(), QStringList{FirstMessage});
        QCOMPARE(gListRow, 1);
        QCOMPARE(list->grid()->row(), 1);
        MessageBox::clearRecord();

        test::doubleClickCell(list->grid(), 5, 0);
        QCOMPARE(gCurrentPath, QStringLiteral("/c/r5.jpg"));
        stepCatalogueForward();
        QCOMPARE(gCurrentPath, QStringLiteral("/r6.jpg"));
        QCOMPARE(list->grid()->currentIndex().row(), 5);
        stepCatalogueForward();
        QCOMPARE(MessageBox::shownTexts(), QStringList{LastMessage});
        QCOMPARE(MessageBox::shown().first().buttons, QMessageBox::Ok);
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Pixdock"));
        QCOMPARE(gListRow, 6);
        QCOMPARE(list->grid()->row(), 6);
        QCOMPARE(gCurrentPath, QStringLiteral("/r6.jpg"));
        stepCatalogueBackward();
        stepCatalogueBackward();
        QCOMPARE(gCurrentPath, QStringLiteral("/d/r4.jpg"));
        QCOMPARE(gListRow, 4);
        QCOMPARE(list->grid()->row(), 4);
        QCOMPARE(m_host->openViewers(), 1);
    }

    void aPositionBeyondAShorterGridComesBackToItsLastRow()
    {
        // Left over from a longer list: the search results have three rows.
        openSearch(QStringLiteral("even"));
        gListRow = 40;
        stepCatalogueForward();
        QCOMPARE(MessageBox::shownTexts(), QStringList{LastMessage});
        QCOMPARE(gListRow, 3);
        stepCatalogueBackward();
        QCOMPARE(gCurrentPath, QStringLiteral("/d/r4.jpg"));
    }

    void theListIsSteppedWhenBothWindowsAreOpen_data()
    {
        QTest::addColumn<bool>("list");
        QTest::addColumn<QString>("path");
        QTest::newRow("list and search") << true << "/b/r2.jpg";
        QTest::newRow("search only") << false << "/d/r4.jpg";
    }
    void theListIsSteppedWhenBothWindowsAreOpen()
    {
        QFETCH(bool, list);
        QFETCH(QString, path);
        openSearch(QStringLiteral("even"));
        if (list)
            test::shownWindow<frmImgList>();
        gListRow = 1;
        stepCatalogueForward();
        QCOMPARE(gCurrentPath, path);
    }

    void onlyAPrivateListOpensTheSharedOneAndStepsIt()
    {
        auto *extra = new frmImgList;
        extra->load();
        extra->showWindow();
        QVERIFY(!loadedSharedWindow<frmImgList>());
        stepCatalogueForward();
        frmImgList *shared = loadedSharedWindow<frmImgList>();
        QVERIFY(shared && shared != extra);
        QVERIFY(shared->isVisible());
        QCOMPARE(shared->grid()->row(), 1);
        QCOMPARE(gCurrentPath, QStringLiteral("/a/r1.jpg"));
    }

    void aStepReplacesEveryViewer()
    {
        m_host->openViewer(QStringLiteral("/x.jpg"));
        test::shownWindow<frmImgList>();
        m_host->openViewer(QStringLiteral("/y.jpg"));
        QCOMPARE(m_host->openViewers(), 2);
        stepCatalogueForward();
        QCOMPARE(m_host->openViewers(), 1);
        QCOMPARE(m_host->openedPictures, QStringList{"/a/r1.jpg"});
    }

    void stepsOnPastRow32767()
    {
        frmImgList *list = test::shownWindow<frmImgList>();
        QList<CatalogueRow> many;
        for (int i = 1; i <= 33000; ++i)
            many.append({QStringLiteral("p%1.jpg").arg(i), QStringLiteral("/m"), QString()});
        list->grid()->setRows(std::make_shared<SnapshotRows>(many));
        gListRow = 32767;
        stepCatalogueForward();
        QCOMPARE(gListRow, 32768);
        QCOMPARE(gCurrentPath, QStringLiteral("/m/p32768.jpg"));
    }

    void withNeitherWindowOpenNothingHappens()
    {
        gListRow = 3;
        stepCatalogueForward();
        stepCatalogueBackward();
        QCOMPARE(gListRow, 3);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(WindowList::instance().count(), 2);
    }

private:
    frmSearch *openSearch(const QString &keywords)
    {
        frmSearch *w = test::shownWindow<frmSearch>();
        w->findChild<QLineEdit *>(QStringLiteral("txtKeywords"))->setText(keywords);
        w->cmdSearch_Click();
        return w;
    }

};

PIXDOCK_REGISTER_TEST(TestCatalogueStepping)
#include "tst_CatalogueStepping.moc"
