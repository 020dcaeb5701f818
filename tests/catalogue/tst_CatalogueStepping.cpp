// Catalogue stepping: forward and back through the list window's grid (or the search
// results), the two end messages, which grid is stepped, and viewers replaced.
#include "CatalogueTestSupport.h"

using namespace pixdock;
using namespace pixdock::catalogue;

const QString LastMessage = QStringLiteral("This is the last image in the list.");

// The windows open and the row a step forward starts from; the picture, row and message after it.
struct Step { QString windows; int startRow; QString path; int rowAfter; QString message; };

class TestCatalogueStepping : public test::CatalogueWindowTest
{
    Q_OBJECT
public:
    // Listed by name: r1 to r6; the search for "even" finds r2, r4, r6.
    TestCatalogueStepping() { m_startRows = {{"r3.jpg", "/", "odd"}, {"r1.jpg", "/a", "odd"}, {"r2.jpg", "/b/", "even"},
                                             {"r5.jpg", "/c", "odd"}, {"r4.jpg", "/d", "even"}, {"r6.jpg", "", "even"}}; }

private slots:
    // A fresh list starts at row one, replaces every viewer and brings the picture to the front;
    // stepping goes on from the row last opened; past either end a message says so and the
    // picture stays.
    void stepsThroughTheListAndStopsAtEitherEnd()
    {
        openViewer(QStringLiteral("/x.jpg"));
        frmImgList *list = test::shownWindow<frmImgList>();
        // The picture shown, and the row both the program and the list's grid are at.
        const auto at = [&](const QString &path, int row) {
            QCOMPARE(QStringList({gCurrentPath, QString::number(gListRow), QString::number(list->grid()->row())}),
                     QStringList({path, QString::number(row), QString::number(row)}));
        };
        openViewer(QStringLiteral("/y.jpg"));
        QCOMPARE(openViewers(), 2);
        stepCatalogueForward();
        QCOMPARE(openViewers(), 1);
        QCOMPARE(m_opened, QStringList{"/a/r1.jpg"});
        QCOMPARE(m_broughtToFront, QList<bool>{true});
        stepCatalogueBackward();
        QCOMPARE(MessageBox::shownTexts(), QStringList{"This is the first image in the list."});
        at("/a/r1.jpg", 1);
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
        at("/r6.jpg", 6);
        stepCatalogueBackward();
        stepCatalogueBackward();
        at("/d/r4.jpg", 4);
        QCOMPARE(openViewers(), 1);
    }

    // The list is stepped when it is open, else the search results; a position left over from
    // a longer list comes back to the grid's last row; a private list only opens the shared one;
    // with neither window open nothing happens; a row past 32767 is stepped on from.
    void whichGridIsStepped_data()
    {
        QTest::addColumn<Step>("step");
        QTest::newRow("list and search") << Step{"list and search", 1, "/b/r2.jpg", 2, ""};
        QTest::newRow("search only") << Step{"search", 1, "/d/r4.jpg", 2, ""};
        QTest::newRow("search, past its end") << Step{"search", 40, "", 3, LastMessage};
        QTest::newRow("a private list only") << Step{"private list", 0, "/a/r1.jpg", 1, ""};
        QTest::newRow("neither") << Step{"", 3, "", 3, ""};
        QTest::newRow("a list of 33,000") << Step{"long list", 32767, "/m/p32768.jpg", 32768, ""};
    }
    void whichGridIsStepped()
    {
        QFETCH(Step, step);
        if (step.windows.contains("search"))
            test::searchFor(QStringLiteral("even"));
        if (step.windows.startsWith("list"))
            test::shownWindow<frmImgList>();
        frmImgList *privateList = step.windows == "private list" ? test::privateList() : nullptr;
        if (step.windows == "long list") {
            QList<CatalogueRow> many;
            for (int i = 1; i <= 33000; ++i)
                many.append({QStringLiteral("p%1.jpg").arg(i), QStringLiteral("/m"), QString()});
            test::shownWindow<frmImgList>()->grid()->setRows(std::make_shared<SnapshotRows>(many));
        }
        gListRow = step.startRow;
        stepCatalogueForward();
        QCOMPARE(gCurrentPath + ' ' + QString::number(gListRow), step.path + ' ' + QString::number(step.rowAfter));
        QCOMPARE(MessageBox::shownTexts(), step.message.isEmpty() ? QStringList() : QStringList{step.message});
        QCOMPARE(openViewers(), step.path.isEmpty() ? 0 : 1);
        if (privateList) {
            frmImgList *shared = loadedSharedWindow<frmImgList>();
            QVERIFY(shared && shared != privateList && shared->isVisible());
            QCOMPARE(shared->grid()->row(), 1);
        }
    }
};

PIXDOCK_REGISTER_TEST(TestCatalogueStepping)
#include "tst_CatalogueStepping.moc"
