// The catalogue list window: the sorted snapshot, column widths and shading, the resize
// arithmetic, opening a row after columns were moved, and what its closing does.
#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "CatalogueWindowHost.h"
#include "ImgListLayout.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "UserInput.h"
#include "Twips.h"
#include "WindowList.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QFont>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace pixdock;
using catalogue::CatalogueGrid;

namespace {

frmImgList *openPrivateList()
{
    auto *w = new frmImgList;
    w->load();
    w->showWindow();
    return w;
}
} // namespace

class TestFrmImgList : public test::CatalogueWindowTest
{
    Q_OBJECT
private slots:
    void init()
    {
        CatalogueWindowTest::init();
        m_host->addRows({{"c.jpg", "/p", "three"},
                         {"A.jpg", "/", "one"},
                         {"é.jpg", "/p/", "five"},
                         {"b.jpg", "/q", "two"},
                         {"D.jpg", "/p", "four"}});
    }

    void loadsEveryRowSortedAndFormatted()
    {
        frmImgList *w = test::shownWindow<frmImgList>();
        CatalogueGrid *grid = w->grid();
        QCOMPARE(test::gridNames(grid), (QStringList{"A.jpg", "b.jpg", "c.jpg", "D.jpg", "é.jpg"}));
        QCOMPARE(grid->textAt(0, 0), QStringLiteral("FileName"));
        QCOMPARE(grid->textAt(0, 1), QStringLiteral("Location"));
        QCOMPARE(grid->textAt(0, 2), QStringLiteral("Description"));
        // The header the view draws is bold.
        QVERIFY(grid->model()->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        for (int row = 1; row <= 5; ++row) {
            for (int col = 0; col < 3; ++col)
                QCOMPARE(grid->cellBackground(row, col), row % 2 == 0 ? QColor(192, 192, 192) : QColor());
        }
        const auto widths = catalogue::imgListColumnWidths(twips::fromPixels(grid->width()));
        for (int col = 0; col < 3; ++col)
            QCOMPARE(grid->colWidthTwips(col), twips::fromPixels(twips::toPixels(widths[size_t(col)])));
        QVERIFY(m_host->panel().catalogueButtonsVisible());
        QCOMPARE(w->leftTwips(), m_host->panel().widthTwips());
        QCOMPARE(w->topTwips(), 0);
        QCOMPARE(w->heightTwips(), m_host->panel().heightTwips());
    }

    // The list reads as people of the user's language read: in Swedish "ä" is a letter after
    // "z", in German it goes with "a"; digits by value in both. A catalogue on a server sorts by
    // its own collation, which knows no user language, so the program has to put it right.
    void theListIsInTheOrderOfTheUsersLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden)
                                 << QStringList{"9.jpg", "10.jpg", "A.jpg", "apple.jpg", "b.jpg", "c.jpg",
                                                "D.jpg", "é.jpg", "zebra.jpg", "ärger.jpg"};
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << QStringList{"9.jpg", "10.jpg", "A.jpg", "apple.jpg", "ärger.jpg", "b.jpg",
                                               "c.jpg", "D.jpg", "é.jpg", "zebra.jpg"};
    }
    void theListIsInTheOrderOfTheUsersLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, order);
        m_host->addRows({{"ärger.jpg", "/p", ""}, {"10.jpg", "/p", ""}, {"zebra.jpg", "/p", ""},
                         {"9.jpg", "/p", ""}, {"apple.jpg", "/p", ""}});
        test::switchLocale(locale);
        frmImgList *w = test::shownWindow<frmImgList>();
        const QStringList shown = test::gridNames(w->grid());
        test::switchLocale(QLocale::c());
        QCOMPARE(shown, order);
    }

    // The Close button keeps to the lower right corner and the grid fills the rest; a window
    // too low for the grid leaves the grid as it was.
    void theGridAndButtonFollowTheWindowsSize_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("button");
        QTest::addColumn<QRect>("grid");
        QTest::newRow("wider and taller") << QSize(9000, 6000) << QRect(7860, 5520, 1080, 420)
                                          << QRect(60, 60, 8880, 5400);
        QTest::newRow("as designed") << QSize(6675, 5130) << QRect(5535, 4650, 1080, 420) << QRect(60, 60, 6555, 4530);
        QTest::newRow("too low for the grid") << QSize(6675, 500) << QRect(5535, 20, 1080, 420)
                                              << QRect(60, 60, 8880, 5400);
    }
    void theGridAndButtonFollowTheWindowsSize()
    {
        QFETCH(QSize, client);
        QFETCH(QRect, button);
        QFETCH(QRect, grid);
        frmImgList *w = test::shownWindow<frmImgList>();
        w->setClientSizeTwips(9000, 6000);
        w->setClientSizeTwips(client.width(), client.height());
        const auto inPixels = [](const QRect &r) { return twips::rectToPixels(r.x(), r.y(), r.width(), r.height()); };
        QTRY_COMPARE(w->findChild<QPushButton *>("cmdClose")->geometry(), inPixels(button));
        QCOMPARE(w->grid()->geometry(), inPixels(grid));
    }

    void anEmptyCatalogueShowsTheHeaderAndStillTheButtons()
    {
        m_host->removeEveryRow();
        frmImgList *w = sharedWindow<frmImgList>();
        QCOMPARE(w->grid()->rows(), 1);
        QVERIFY(m_host->panel().catalogueButtonsVisible());
    }

    void theListIsASnapshotTakenAtLoad()
    {
        frmImgList *w = sharedWindow<frmImgList>();
        m_host->addRows({{"aa.jpg", "/p", "new"}});
        m_host->removeRows("c.jpg", "/p");
        QCOMPARE(test::gridNames(w->grid()), (QStringList{"A.jpg", "b.jpg", "c.jpg", "D.jpg", "é.jpg"}));
        w->unload();
        QCOMPARE(test::gridNames(sharedWindow<frmImgList>()->grid()),
                 (QStringList{"A.jpg", "aa.jpg", "b.jpg", "D.jpg", "é.jpg"}));
    }

    void doubleClickReadsNameAndFolderByColumnAfterAMove_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("path");
        QTest::newRow("folder") << 2 << "/q/b.jpg";
        QTest::newRow("root") << 1 << "/A.jpg";
        QTest::newRow("trailing separator") << 5 << "/p/é.jpg";
    }
    void doubleClickReadsNameAndFolderByColumnAfterAMove()
    {
        QFETCH(int, row);
        QFETCH(QString, path);
        frmImgList *w = test::shownWindow<frmImgList>();
        QHeaderView *header = w->grid()->horizontalHeader();
        header->moveSection(0, 2); // Location, Description, FileName
        header->moveSection(0, 1); // Description, Location, FileName
        test::doubleClickCell(w->grid(), row, 0);
        QCOMPARE(gCurrentPath, path);
        QCOMPARE(gListRow, row);
        QCOMPARE(m_host->openedPictures, QStringList{path});
        QCOMPARE(m_host->broughtToFront, QList<bool>{true});
    }

    // A header dragged with the mouse and dropped on another column takes that column's
    // place, wherever on the column it is let go.
    void aDraggedColumnTakesThePlaceOfTheColumnUnderThePointer_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("droppedOn");
        QTest::addColumn<double>("where"); // across the target column, 0 its left edge, 1 its right
        QTest::addColumn<QStringList>("order");
        const QStringList nameFirst{"Location", "FileName", "Description"};
        const QStringList descriptionFirst{"Description", "FileName", "Location"};
        QTest::newRow("to the right, dropped on the left quarter") << "FileName" << "Location" << 0.25 << nameFirst;
        QTest::newRow("to the right, dropped on the right quarter") << "FileName" << "Location" << 0.75 << nameFirst;
        QTest::newRow("to the left, dropped on the right quarter")
            << "Description" << "FileName" << 0.75 << descriptionFirst;
        QTest::newRow("to the left, dropped on the left quarter")
            << "Description" << "FileName" << 0.25 << descriptionFirst;
        QTest::newRow("two places on, right quarter") << "FileName" << "Description" << 0.75
                                                 << QStringList{"Location", "Description", "FileName"};
        QTest::newRow("dropped on itself") << "Location" << "Location" << 0.8
                                           << QStringList{"FileName", "Location", "Description"};
        QTest::newRow("dropped on the rows, not the header") << "FileName" << "rows" << 0.5
                                                             << QStringList{"FileName", "Location", "Description"};
    }
    void aDraggedColumnTakesThePlaceOfTheColumnUnderThePointer()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, droppedOn);
        QFETCH(double, where);
        QFETCH(QStringList, order);
        frmImgList *w = test::shownWindow<frmImgList>();
        CatalogueGrid *grid = w->grid();
        QHeaderView *header = grid->horizontalHeader();
        const auto sectionOf = [&](const QString &name) { return header->logicalIndex(grid->positionOf(name)); };
        const int from = sectionOf(dragged);
        const QPoint press(header->sectionViewportPosition(from) + header->sectionSize(from) / 2,
                           header->height() / 2);
        QPoint release;
        if (droppedOn == "rows") {
            release = QPoint(press.x() + header->sectionSize(from), header->height() + 3 * grid->rowHeight(0));
        } else {
            const int to = sectionOf(droppedOn);
            release = QPoint(header->sectionViewportPosition(to) + int(header->sectionSize(to) * where),
                             header->height() / 2);
        }
        test::dragWithMouse(header->viewport(), press, release);
        QStringList shown;
        for (int position = 0; position < grid->cols(); ++position)
            shown << grid->columnNameAt(position);
        QCOMPARE(shown, order);
    }

    void thePanelButtonsFollowListAndSearchWindows()
    {
        test::HostPanel &panel = m_host->panel();
        frmSearch *search = test::shownWindow<frmSearch>();
        QVERIFY(!panel.catalogueButtonsVisible());
        search->cmdSearch_Click();
        QVERIFY(panel.catalogueButtonsVisible());
        frmImgList *list = sharedWindow<frmImgList>();
        list->unload();
        // Closing a list hides them although the search results are still on screen.
        QVERIFY(!panel.catalogueButtonsVisible());
        search->cmdSearch_Click();
        QVERIFY(panel.catalogueButtonsVisible());
        search->unload();
        QVERIFY(!panel.catalogueButtonsVisible());
        frmImgList *shared = test::shownWindow<frmImgList>();
        QVERIFY(panel.catalogueButtonsVisible());
        // Closing any list, a second one too, hides them and forgets the shared list.
        openPrivateList()->findChild<QPushButton *>("cmdClose")->click();
        QVERIFY(!panel.catalogueButtonsVisible());
        QVERIFY(!loadedSharedWindow<frmImgList>());
        QVERIFY(shared->isVisible());
    }

};

PIXDOCK_REGISTER_TEST(TestFrmImgList)
#include "tst_frmImgList.moc"
