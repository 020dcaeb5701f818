// The catalogue list window: the sorted snapshot in the user's language, the header and the
// shading, opening a row after columns were dragged, and what its closing does.
#include "CatalogueTestSupport.h"

#include <QFontMetrics>
#include <QHeaderView>

using namespace pixdock;
using catalogue::CatalogueGrid;

// The column dragged by its header, the column it is dropped on ("rows": below the header) and
// where across that column (0 its left edge, 1 its right); the column order then.
struct Drag { QString dragged, droppedOn; double where; QString order; };

class TestFrmImgList : public test::CatalogueWindowTest
{
    Q_OBJECT
public:
    TestFrmImgList() { m_startRows = {{"c.jpg", "/p", "three"}, {"A.jpg", "/", "one"}, {"é.jpg", "/p/", "five"},
                                      {"b.jpg", "/q", "two"},
                                      {"D.jpg", "/p", QStringLiteral("sunset over the harbour with friends ").repeated(8)}}; }

private slots:
    // The list is the catalogue as it was at loading, sorted, under a bold header that names the
    // columns, every second row shaded, a description longer than its column on the row's one
    // line (Qt cuts it with an ellipsis; not wrapped into two lines squeezed into a row too low for
    // them); a list loaded anew shows the changes, an empty one its header and the panel's buttons
    // still.
    void theListIsASnapshotTakenAtLoad()
    {
        CatalogueGrid *grid = test::shownWindow<frmImgList>()->grid();
        addRows({{"aa.jpg", "/p", "new"}});
        catalogue::CatalogueService::instance().removeRows("c.jpg", "/p");
        QCOMPARE(test::gridNames(grid), (QStringList{"A.jpg", "b.jpg", "c.jpg", "D.jpg", "é.jpg"}));
        for (int col = 0; col < 3; ++col) {
            QCOMPARE(grid->model()->headerData(col, Qt::Horizontal).toString(), QStringList({"FileName", "Location", "Description"})[col]);
            QVERIFY(grid->model()->headerData(col, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
            for (int row = 1; row <= 5; ++row)
                QCOMPARE(grid->cellBackground(row, col), row % 2 == 0 ? QColor(192, 192, 192) : QColor());
        }
        const QImage drawn = grid->viewport()->grab(grid->visualRect(grid->model()->index(3, 2)).adjusted(1, 1, -1, -1)).toImage();
        int top = drawn.height(), bottom = -1;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (qGray(drawn.pixel(x, y)) < 100) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        QVERIFY2(bottom >= top, "no text drawn");
        QVERIFY2(bottom - top < QFontMetrics(grid->font()).height() * drawn.devicePixelRatio(), qPrintable(QString::number(bottom - top)));
        sharedWindow<frmImgList>()->unload();
        QCOMPARE(test::gridNames(sharedWindow<frmImgList>()->grid()).join(' '), QStringLiteral("A.jpg aa.jpg b.jpg D.jpg é.jpg"));
        sharedWindow<frmImgList>()->unload();
        QVERIFY(QSqlQuery(catalogue::sharedConnection()).exec(QStringLiteral("DELETE FROM Info")));
        QCOMPARE(sharedWindow<frmImgList>()->grid()->rows(), 1);
        QVERIFY(panelButtonsVisible());
    }

    // The list reads as people of the user's language read: in Swedish "ä" is a letter after
    // "z", in German it goes with "a"; digits by value in both. A catalogue on a server sorts by
    // its own collation, which knows no user language, so the program has to put it right.
    void theListIsInTheOrderOfTheUsersLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("order");
        QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden)
                                 << "9.jpg 10.jpg A.jpg apple.jpg b.jpg c.jpg D.jpg é.jpg zebra.jpg ärger.jpg";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << "9.jpg 10.jpg A.jpg apple.jpg ärger.jpg b.jpg c.jpg D.jpg é.jpg zebra.jpg";
    }
    void theListIsInTheOrderOfTheUsersLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, order);
        addRows({{"ärger.jpg", "/p", ""}, {"10.jpg", "/p", ""}, {"zebra.jpg", "/p", ""},
                         {"9.jpg", "/p", ""}, {"apple.jpg", "/p", ""}});
        test::switchLocale(locale);
        QCOMPARE(test::gridNames(test::shownWindow<frmImgList>()->grid()).join(' '), order);
    }

    // A header dragged with the mouse and dropped on another column takes that column's
    // place, wherever on the column it is let go; a double-click then still reads the picture's
    // name and folder by column, whatever column it hits.
    void aDraggedColumnTakesThePlaceOfTheColumnUnderThePointer_data()
    {
        QTest::addColumn<Drag>("drag");
        QTest::newRow("to the right, dropped on the left quarter") << Drag{"FileName", "Location", 0.25, "Location FileName Description"};
        QTest::newRow("to the left, dropped on the right quarter") << Drag{"Description", "FileName", 0.75, "Description FileName Location"};
        QTest::newRow("two places on, right quarter") << Drag{"FileName", "Description", 0.75, "Location Description FileName"};
        QTest::newRow("dropped on itself") << Drag{"Location", "Location", 0.8, "FileName Location Description"};
        QTest::newRow("dropped on the rows, not the header") << Drag{"FileName", "rows", 0.5, "FileName Location Description"};
    }
    void aDraggedColumnTakesThePlaceOfTheColumnUnderThePointer()
    {
        QFETCH(Drag, drag);
        CatalogueGrid *grid = test::shownWindow<frmImgList>()->grid();
        QHeaderView *header = grid->horizontalHeader();
        const auto sectionOf = [&](const QString &name) { return header->logicalIndex(grid->positionOf(name)); };
        const int from = sectionOf(drag.dragged);
        const QPoint press(header->sectionViewportPosition(from) + header->sectionSize(from) / 2, header->height() / 2);
        const int to = drag.droppedOn == "rows" ? from : sectionOf(drag.droppedOn);
        const QPoint release = drag.droppedOn == "rows"
                                   ? QPoint(press.x() + header->sectionSize(from), header->height() + 3 * grid->rowHeight(0))
                                   : QPoint(header->sectionViewportPosition(to) + int(header->sectionSize(to) * drag.where),
                                            header->height() / 2);
        test::dragWithMouse(header->viewport(), press, release);
        QCOMPARE(grid->columnNameAt(0) + ' ' + grid->columnNameAt(1) + ' ' + grid->columnNameAt(2), drag.order);
        test::doubleClickCell(grid, 2, 0);
        QCOMPARE(gCurrentPath + ' ' + QString::number(gListRow), QStringLiteral("/q/b.jpg 2"));
        QCOMPARE(m_opened, QStringList{"/q/b.jpg"});
        QCOMPARE(m_broughtToFront, QList<bool>{true});
    }

    // The panel's catalogue buttons show while a list or search results do; closing any list
    // (a second one too) hides them, although search results are still on screen, and forgets
    // the shared list.
    void thePanelButtonsFollowListAndSearchWindows()
    {
        frmSearch *search = test::shownWindow<frmSearch>();
        QVERIFY(!panelButtonsVisible());
        search->cmdSearch_Click();
        QVERIFY(panelButtonsVisible());
        sharedWindow<frmImgList>()->unload();
        QVERIFY(!panelButtonsVisible());
        search->cmdSearch_Click();
        QVERIFY(panelButtonsVisible());
        search->unload();
        QVERIFY(!panelButtonsVisible());
        frmImgList *shared = test::shownWindow<frmImgList>();
        QVERIFY(panelButtonsVisible());
        test::childOf<QPushButton>(test::privateList(), "cmdClose")->click();
        QVERIFY(!panelButtonsVisible() && !loadedSharedWindow<frmImgList>());
        QVERIFY(shared->isVisible());
    }
};

PIXDOCK_REGISTER_TEST(TestFrmImgList)
#include "tst_frmImgList.moc"
