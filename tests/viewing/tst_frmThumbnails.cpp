// The thumbnail window over the real catalogue windows: which pictures it shows and in what
// order, files without a thumbnail, the clipboard, the shared cache, the progress and the
// hourglass, closing it part-way, showing it again, opening a thumbnail in the viewer by
// double-click or Return, the rows scrolled to first, and labels that wrap.
#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "Frame.h"
#include "HostFrame.h"
#include "Locations.h"
#include "ManyScanJpeg.h"
#include "ModGlobal.h"
#include "Pictures.h"
#include "ProgramFolder.h"
#include "ServerCatalogue.h"
#include "TestRegistry.h"
#include "TestState.h"
#include "ViewingTestCase.h"
#include "ThumbnailCache.h"
#include "ThumbnailDelegate.h"
#include "ThumbnailSheetModel.h"
#include "ThumbnailSheetView.h"
#include "Twips.h"
#include "ViewerOpening.h"
#include "ViewingSetup.h"
#include "WindowList.h"
#include "frmImgList.h"
#include "frmSearch.h"
#include "frmThumbnails.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>
#include <optional>

using namespace pixdock;

namespace {

constexpr int BuildTimeout = 30000;

ThumbnailSheetView *sheetView(frmThumbnails *sheet)
{
    return sheet->findChild<ThumbnailSheetView *>(QStringLiteral("lvViewer"));
}

QAbstractItemModel *items(frmThumbnails *sheet) { return sheetView(sheet)->model(); }

QStringList itemTexts(frmThumbnails *sheet, int role)
{
    QStringList texts;
    for (int row = 0; row < items(sheet)->rowCount(); ++row)
        texts << items(sheet)->index(row, 0).data(role).toString();
    return texts;
}

QStringList labels(frmThumbnails *sheet) { return itemTexts(sheet, Qt::DisplayRole); }

QStringList keys(frmThumbnails *sheet) { return itemTexts(sheet, ThumbnailSheetModel::KeyRole); }

QImage thumbnailAt(frmThumbnails *sheet, int row)
{
    return items(sheet)->index(row, 0).data(Qt::DecorationRole).value<QImage>();
}

int windowsCaptioned(const QString &text)
{
    int count = 0;
    for (QWidget *w : WindowList::instance().windows())
        count += w->windowTitle() == text ? 1 : 0;
    return count;
}

} // namespace

class TestFrmThumbnails : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::resetProgramState();
        m_program.emplace();
        if (test::catalogueOnServer()) {
            m_serverAddress = test::freshServerCatalogue();
            qputenv(locations::CatalogueVariable, m_serverAddress.toUtf8());
        }
        m_frame = std::make_unique<test::HostFrame>();
        catalogue::OpenConnection();
        m_pictures.emplace();
        m_cacheHome.emplace();
        m_savedCacheHome = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cacheHome->path()));
    }
    void cleanup()
    {
        test::resetProgramState();
        m_frame.reset();
        m_program.reset();
        if (!m_serverAddress.isEmpty())
            qunsetenv(locations::CatalogueVariable);
        m_serverAddress.clear();
        qputenv("XDG_CACHE_HOME", m_savedCacheHome);
        viewers::setOpeners(nullptr, nullptr);
        QCOMPARE(WindowList::instance().count(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void opensBesidePanelEmptyWhenNeitherGridIsOpenAndStillCountsTheListRow()
    {
        gListRow = 5;
        frmThumbnails *sheet = openSheet();
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Thumbnail Viewer"));
        QCOMPARE(items(sheet)->rowCount(), 0);
        QCOMPARE(progressOf(sheet), QString());
        QVERIFY(!sheet->isBuilding());
        QCOMPARE(gListRow, 6);
        const auto rounded = [](int t) { return twips::fromPixels(twips::toPixels(t)); };
        QCOMPARE(sheet->leftTwips(), rounded(panelWidthTwips()));
        QCOMPARE(sheet->topTwips(), 0);
        QCOMPARE(sheet->heightTwips(), rounded(panelHeightTwips()));
        QCOMPARE(sheet->clientWidthTwips(), 10140);
        QCOMPARE(sheet->findChild<QPushButton *>(QStringLiteral("cmdExit"))->text(), QStringLiteral("Close"));
    }

    // Building leaves the clipboard as it was.
    void showsTheListsPicturesInRowOrderLabelledWithTheirFileNames()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("keep me"));
        const QString folder = m_pictures->path();
        picture("c.png");
        picture("a.png");
        picture("b.jpg");
        // The folder with and without its trailing separator gives the same kind of key.
        addRows({{"c.png", folder}, {"a.png", folder + "/"}, {"b.jpg", folder}});
        frmImgList *list = openList();
        frmThumbnails *sheet = openBuiltSheet();

        QCOMPARE(labels(sheet), (QStringList{"a.png", "b.jpg", "c.png"}));
        QCOMPARE(keys(sheet), (QStringList{folder + "/a.png", folder + "/b.jpg", folder + "/c.png"}));
        QCOMPARE(gCurrentPath, folder + "/c.png");
        QCOMPARE(list->grid()->row(), 3);
        QCOMPARE(list->grid()->col(), 1);
        // Made at the screen's pixels, so that it is sharp on a dense screen too.
        QCOMPARE(thumbnailAt(sheet, 0).size(), (QSizeF(100, 100) * sheet->devicePixelRatioF()).toSize());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep me"));
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
    }

    void aPictureListedTwiceShowsOnceAtItsFirstPlaceListFirstThenSearch()
    {
        const QString folder = m_pictures->path();
        for (const char *name : {"a.png", "b.png", "d.png"})
            picture(name);
        addRows({{"b.png", folder, "beach"}, {"a.png", folder, "dog"}, {"a.png", folder, "dog again"}});
        // Read by column identity after the user moved the columns.
        openList()->grid()->horizontalHeader()->moveSection(0, 2); // a, a, b
        addRows({{"d.png", folder, "beach too"}});
        search(QStringLiteral("beach")); // b, d
        frmThumbnails *sheet = openBuiltSheet();
        QCOMPARE(labels(sheet), (QStringList{"a.png", "b.png", "d.png"}));
        QCOMPARE(gCurrentPath, folder + "/d.png");
        QCOMPARE(sharedWindow<frmSearch>()->grid()->row(), 2);
    }

    void withOnlyAPrivateListTheSharedListOpensAndItsRowsAreShown()
    {
        picture("new.png");
        addRows({{"a.png", m_pictures->path()}});
        picture("a.png");
        auto *privateList = new frmImgList;
        privateList->load();
        privateList->showWindow();
        addRows({{"new.png", m_pictures->path()}});

        frmThumbnails *sheet = openBuiltSheet();
        QCOMPARE(windowsCaptioned(QStringLiteral("Database Image List")), 2);
        QVERIFY(loadedSharedWindow<frmImgList>() && loadedSharedWindow<frmImgList>() != privateList);
        QVERIFY(loadedSharedWindow<frmImgList>()->isVisible());
        QCOMPARE(labels(sheet), (QStringList{"a.png", "new.png"}));
    }

    void aFileWithoutAThumbnailLeavesTheOthersInPlace_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not a picture") << "bad";
        QTest::newRow("missing") << "missing";
        QTest::newRow("icon") << "icon";
    }
    void aFileWithoutAThumbnailLeavesTheOthersInPlace()
    {
        QFETCH(QString, kind);
        QList<QStringList> rows;
        QStringList expected;
        for (int i = 0; i < 50; ++i) {
            QString name = QStringLiteral("p%1.png").arg(i, 2, 10, QLatin1Char('0'));
            if (i == 23) {
                name = kind == "icon" ? QStringLiteral("p23.ico") : name;
                if (kind == "bad")
                    test::writeBytes(m_pictures->path(), name, "this is no picture");
                else if (kind == "icon")
                    picture(name);
            } else {
                picture(name);
                expected << name;
            }
            rows << QStringList{name, m_pictures->path()};
        }
        addRows(rows);
        openList();
        frmThumbnails *sheet = openBuiltSheet();
        QCOMPARE(labels(sheet), expected);
        QCOMPARE(progressOf(sheet), QStringLiteral("50 of 50"));
    }

    void theSheetUsesAndFillsTheDesktopThumbnailCache()
    {
        listPictures({"a.jpg"});
        const QString path = m_pictures->filePath("a.jpg");
        openBuiltSheet()->unload();
        test::flushDeletes();

        const thumbnails::ThumbnailCache cache(m_cacheHome->path() + QStringLiteral("/thumbnails"));
        QVERIFY(QFile::exists(cache.entryPath(thumbnails::fileUri(path))));
        // An entry the sheet did not make, for the same version of the file, is the one shown.
        thumbnails::PictureStamp stamp;
        QVERIFY(thumbnails::stampPicture(path, stamp));
        QImage magenta(128, 96, QImage::Format_RGB32);
        magenta.fill(Qt::magenta);
        QVERIFY(cache.write(stamp, magenta));

        frmThumbnails *again = openBuiltSheet();
        QCOMPARE(thumbnailAt(again, 0).pixelColor(50, 50), QColor(Qt::magenta));
    }

    void progressAndHourglassWhileBuildingThenTheCount()
    {
        QStringList names;
        for (int i = 0; i < 30; ++i)
            names << QStringLiteral("p%1.jpg").arg(i);
        listPictures(names, {1600, 1200});
        frmThumbnails *sheet = frmThumbnails::showShared();
        QVERIFY(sheet->isBuilding());
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(progressOf(sheet).endsWith(QStringLiteral(" of 30")));
        QTRY_VERIFY_WITH_TIMEOUT(!sheet->isBuilding(), BuildTimeout);
        QCOMPARE(progressOf(sheet), QStringLiteral("30 of 30"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void closingTheWindowPartWayStopsTheBuild()
    {
        // One quick picture, then many rows naming one large bitmap through links of their
        // own: each is decoded whole, so the build has long to run after the first thumbnail.
        picture("first.png");
        const QString large = picture("large.bmp", {4000, 3000});
        QList<QStringList> rows{{"first.png", m_pictures->path()}};
        for (int i = 0; i < 60; ++i) {
            const QString name = QStringLiteral("z%1.bmp").arg(i, 2, 10, QLatin1Char('0'));
            QVERIFY(QFile::link(large, m_pictures->filePath(name)));
            rows << QStringList{name, m_pictures->path()};
        }
        addRows(rows);
        openList();
        QPointer<frmThumbnails> sheet = frmThumbnails::showShared();
        QSignalSpy placed(items(sheet), &QAbstractItemModel::dataChanged);
        QVERIFY(placed.wait(BuildTimeout));
        QVERIFY(sheet->isBuilding());
        test::StallWatch watch;
        clickClose(sheet);
        QCOMPARE(watch.end(), QString());
        QVERIFY(sheet.isNull());
        QCOMPARE(windowsCaptioned(QStringLiteral("Thumbnail Viewer")), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        // Nothing is made for the closed sheet any more.
        const QDir entries(m_cacheHome->path() + QStringLiteral("/thumbnails/normal"));
        const qsizetype written = entries.entryList(QDir::Files).size();
        QVERIFY2(written < rows.size() / 2, qPrintable(QString::number(written)));
        QCoreApplication::processEvents();
        QCOMPARE(entries.entryList(QDir::Files).size(), written);
    }

    // A picture of thousands of scans first in the list: the others' thumbnails come all the
    // same, and closing the sheet while it may still be decoded is at once.
    void aPictureOfManyScansHoldsBackNoOtherThumbnailAndClosingIsAtOnce()
    {
        test::writeBytes(m_pictures->path(), "a.jpg", test::manyScanJpeg(test::manyScanRepeats()));
        addRows({{"a.jpg", m_pictures->path()}});
        listPictures({"b.png", "c.png", "d.png"});
        test::StallWatch watch;
        QPointer<frmThumbnails> sheet = frmThumbnails::showShared();
        const auto othersShown = [&sheet] {
            for (const char *name : {"b.png", "c.png", "d.png"}) {
                const qsizetype row = labels(sheet).indexOf(QLatin1String(name));
                if (row < 0 || thumbnailAt(sheet, int(row)).isNull())
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(othersShown(), BuildTimeout);
        clickClose(sheet);
        QCOMPARE(watch.end(), QString());
        QVERIFY(sheet.isNull());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void showingAgainWhileOpenOnlyBringsItUpAndAfterClosingBuildsAfresh()
    {
        frmImgList *list = listPictures({"a.png"});
        frmThumbnails *sheet = openBuiltSheet();
        list->unload();
        listPictures({"b.png"});

        QCOMPARE(frmThumbnails::showShared(), sheet);
        QCOMPARE(labels(sheet), QStringList{"a.png"});
        QCOMPARE(gListRow, 1);

        sheet->cmdExit_Click();
        test::flushDeletes();
        frmThumbnails *fresh = openBuiltSheet();
        QCOMPARE(labels(fresh), (QStringList{"a.png", "b.png"}));
        QCOMPARE(gListRow, 2);
    }

    void draggingThumbnailsOutCarriesTheirFiles()
    {
        listPictures({"a.png"});
        ThumbnailSheetView *view = sheetView(openBuiltSheet());
        QVERIFY(view->dragEnabled());
        QVERIFY(!view->acceptDrops());
        std::unique_ptr<QMimeData> data(view->model()->mimeData({view->model()->index(0, 0)}));
        QCOMPARE(data->urls(), QList<QUrl>{QUrl::fromLocalFile(m_pictures->filePath("a.png"))});
    }

    // A double-click, Return or keypad Enter on a thumbnail shows it in the shared viewer, which
    // each next one replaces; a viewer opened otherwise stays.
    void aThumbnailOpensInTheSharedViewerOnly()
    {
        viewing::installViewerOpeners();
        const QString other = picture("other.png");
        listPictures({"a.png", "b.png"});
        const QString a = m_pictures->filePath("a.png");
        const QString b = m_pictures->filePath("b.png");
        gCurrentPath = other;
        viewers::openNewViewer();
        frmThumbnails *sheet = openBuiltSheet();
        ThumbnailSheetView *view = sheetView(sheet);
        QApplication::setActiveWindow(m_frame.get());
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));

        doubleClick(view, 0);
        QCOMPARE(gCurrentPath, a);
        QCOMPARE(frameStatusText(), a);
        QCOMPARE(windowsCaptioned(caption::Viewer), 2);

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(view, 1));
        QTRY_COMPARE(QApplication::focusWidget(), view);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        test::flushDeletes();
        QCOMPARE(gCurrentPath, b);
        QCOMPARE(frameStatusText(), b);
        QCOMPARE(windowsCaptioned(caption::Viewer), 2);

        // The arrow keys move the selection.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(view, 1));
        QTRY_COMPARE(QApplication::focusWidget(), view);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        test::flushDeletes();
        QCOMPARE(frameStatusText(), a);
        QCOMPARE(windowsCaptioned(caption::Viewer), 2);

        // Nothing selected: nothing opens.
        view->clearSelection();
        gCurrentPath.clear();
        sheet->lvViewer_DblClick();
        QVERIFY(gCurrentPath.isEmpty());
    }

    void theRowsScrolledToAreMadeBeforeTheRest()
    {
        const QString large = picture("large.jpg", {1600, 1200});
        QList<QStringList> rows;
        for (int i = 0; i < 300; ++i) {
            const QString name = QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
            QVERIFY(QFile::link(large, m_pictures->filePath(name)));
            rows << QStringList{name, m_pictures->path()};
        }
        addRows(rows);
        openList();
        frmThumbnails *sheet = frmThumbnails::showShared();
        ThumbnailSheetView *view = sheetView(sheet);
        QVERIFY(sheet->isBuilding());
        // Every picture has its cell from the start, so the end of the sheet can be scrolled to.
        QCOMPARE(items(sheet)->rowCount(), 300);
        // The cells flow from the left and wrap into rows as wide as the sheet.
        const QRect cell = view->visualRect(items(sheet)->index(0, 0));
        const int perRow = view->viewport()->width() / cell.width();
        QVERIFY(perRow > 1);
        QCOMPARE(view->visualRect(items(sheet)->index(1, 0)).topLeft(), cell.topRight() + QPoint(1, 0));
        QCOMPARE(view->visualRect(items(sheet)->index(perRow, 0)).topLeft(), cell.bottomLeft() + QPoint(0, 1));
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        const auto [first, last] = view->visibleRows();
        QCOMPARE(last, 299);
        QTRY_VERIFY_WITH_TIMEOUT(!thumbnailAt(sheet, 299).isNull() && !thumbnailAt(sheet, first).isNull(), BuildTimeout);
        auto *progress = sheet->findChild<QLabel *>(QStringLiteral("lblProgress"));
        const int settled = progress->text().section(QLatin1Char(' '), 0, 0).toInt();
        QVERIFY2(settled < 300 - (last - first + 1), qPrintable(progress->text()));
        QTRY_VERIFY_WITH_TIMEOUT(!sheet->isBuilding(), 4 * BuildTimeout);
        QCOMPARE(progress->text(), QStringLiteral("300 of 300"));
    }

    void longLabelsWrapOverLinesInsteadOfBeingCut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        QTest::newRow("phone name") << "PXL_20210704_123456789.jpg" << 2;
        QTest::newRow("words") << "Holiday at the sea 2019 (12).jpeg" << 3;
        QTest::newRow("short") << "a.jpg" << 1;
    }
    void longLabelsWrapOverLinesInsteadOfBeingCut()
    {
        QFETCH(QString, name);
        QFETCH(int, lines);
        listPictures({name});
        ThumbnailSheetView *view = sheetView(openBuiltSheet());
        const int width = view->cellSize().width() - 4;
        const QStringList shown = wrappedLabel(name, view->font(), width);
        QCOMPARE(shown.size(), lines);
        QCOMPARE(shown.join(QString()).remove(QLatin1Char(' ')), QString(name).remove(QLatin1Char(' ')));
        for (const QString &line : shown)
            QVERIFY2(QFontMetrics(view->font()).horizontalAdvance(line) <= width, qPrintable(line));
        // A name too long for the lines there are ends in an ellipsis on the last one.
        const QStringList longest = wrappedLabel(name.repeated(20), view->font(), width);
        QCOMPARE(longest.size(), LabelLines);
        QVERIFY(longest.last().endsWith(QChar(0x2026)));
    }

private:
    static QPoint centreOf(ThumbnailSheetView *view, int row)
    {
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        return view->visualRect(index).center();
    }
    static void doubleClick(ThumbnailSheetView *view, int row)
    {
        const QPoint centre = centreOf(view, row);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    QString picture(const QString &name, QSize size = {400, 100})
    {
        return test::writePicture(m_pictures->path(), name, size);
    }
    void addRows(const QList<QStringList> &rows) { test::addCatalogueRows(m_serverAddress, rows); }
    // Writes the pictures, catalogues them in this order and opens the list of them.
    frmImgList *listPictures(const QStringList &names, QSize size = {400, 100})
    {
        QList<QStringList> rows;
        for (const QString &name : names) {
            picture(name, size);
            rows << QStringList{name, m_pictures->path()};
        }
        addRows(rows);
        return openList();
    }
    static QString progressOf(frmThumbnails *sheet)
    {
        return sheet->findChild<QLabel *>(QStringLiteral("lblProgress"))->text();
    }
    static void clickClose(frmThumbnails *sheet)
    {
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("cmdExit")), Qt::LeftButton);
        test::flushDeletes();
    }
    frmImgList *openList()
    {
        frmImgList *list = sharedWindow<frmImgList>();
        list->showWindow();
        return list;
    }
    void search(const QString &keywords)
    {
        frmSearch *window = sharedWindow<frmSearch>();
        window->showWindow();
        window->findChild<QLineEdit *>(QStringLiteral("txtKeywords"))->setText(keywords);
        window->cmdSearch_Click();
    }
    frmThumbnails *openSheet() { return frmThumbnails::showShared(); }
    frmThumbnails *openBuiltSheet()
    {
        frmThumbnails *sheet = openSheet();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!sheet->isBuilding(), BuildTimeout); }();
        return sheet;
    }

    std::optional<test::ProgramFolder> m_program;
    // The catalogue's address on the tests' server; empty for db.fil.
    QString m_serverAddress;
    std::unique_ptr<test::HostFrame> m_frame;
    std::optional<QTemporaryDir> m_pictures;
    std::optional<QTemporaryDir> m_cacheHome;
    QByteArray m_savedCacheHome;
};

PIXDOCK_REGISTER_TEST(TestFrmThumbnails)
#include "tst_frmThumbnails.moc"
