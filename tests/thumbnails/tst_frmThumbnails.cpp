// The thumbnail window over the real catalogue windows: which pictures it shows and in what
// order, files without a thumbnail, the clipboard, the shared cache, the progress and the
// hourglass, closing it part-way, showing it again, opening a thumbnail in the viewer by
// double-click or Return, the rows scrolled to first, and labels that wrap.
#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "EventLoopWatchdog.h"
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
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
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
        QCOMPARE(gListRow, 6);
        const auto rounded = [](int t) { return twips::fromPixels(twips::toPixels(t)); };
        QCOMPARE(sheet->leftTwips(), rounded(panelWidthTwips()));
        QCOMPARE(sheet->topTwips(), 0);
        QCOMPARE(sheet->heightTwips(), rounded(panelHeightTwips()));
        QCOMPARE(sheet->clientWidthTwips(), 10140);
        QCOMPARE(sheet->findChild<QPushButton *>(QStringLiteral("cmdExit"))->text(), QStringLiteral("Close"));
    }

    void showsTheListsPicturesInRowOrderLabelledWithTheirFileNames()
    {
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
        picture("a.png");
        picture("new.png");
        addRows({{"a.png", m_pictures->path()}});
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
        QCOMPARE(
            sheet->findChild<QLabel *>(QStringLiteral("lblProgress"))->text(), QStringLiteral("50 of 50"));
    }

    void buildingLeavesTheClipboardAsItWas()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("keep me"));
        picture("a.png");
        picture("b.jpg");
        addRows({{"a.png", m_pictures->path()}, {"b.jpg", m_pictures->path()}});
        openList();
        frmThumbnails *sheet = openBuiltSheet();
        QCOMPARE(items(sheet)->rowCount(), 2);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep me"));
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
    }

    void theSheetUsesAndFillsTheDesktopThumbnailCache()
    {
        const QString path = picture("a.jpg");
        addRows({{"a.jpg", m_pictures->path()}});
        openList();
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
        QList<QStringList> rows;
        for (int i = 0; i < 30; ++i) {
            const QString name = QStringLiteral("p%1.jpg").arg(i);
            picture(name, {1600, 1200});
            rows << QStringList{name, m_pictures->path()};
        }
        addRows(rows);
        openList();
        frmThumbnails *sheet = frmThumbnails::showShared();
        auto *progress = sheet->findChild<QLabel *>(QStringLiteral("lblProgress"));
        QVERIFY(sheet->isBuilding());
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(progress->text().endsWith(QStringLiteral(" of 30")));
        QTRY_VERIFY_WITH_TIMEOUT(!sheet->isBuilding(), BuildTimeout);
        QCOMPARE(progress->text(), QStringLiteral("30 of 30"));
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
        test::EventLoopWatchdog watchdog;
        watchdog.start();
        QTest::qWait(5);
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("cmdExit")), Qt::LeftButton);
        test::flushDeletes();
        watchdog.stop();
        QVERIFY2(watchdog.withinLimit(test::stallLimitMs()), qPrintable(watchdog.report()));
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
        const QString folder = m_pictures->path();
        test::writeBytes(folder, "a.jpg", test::manyScanJpeg(test::manyScanRepeats()));
        for (const char *name : {"b.png", "c.png", "d.png"})
            picture(name);
        addRows({{"a.jpg", folder}, {"b.png", folder}, {"c.png", folder}, {"d.png", folder}});
        openList();
        test::EventLoopWatchdog watchdog;
        watchdog.start();
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
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("cmdExit")), Qt::LeftButton);
        test::flushDeletes();
        watchdog.stop();
        QVERIFY2(watchdog.withinLimit(test::stallLimitMs()), qPrintable(watchdog.report()));
        QVERIFY(sheet.isNull());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Any program of the user may leave a named pipe under a cache entry's name: it is passed
    // over as if there were no entry, and the thumbnail is made from the picture.
    void aPipeInTheCacheIsSkippedAsIfAbsent()
    {
        const QString folder = m_pictures->path();
        const QString first = picture("a.png");
        picture("b.png");
        addRows({{"a.png", folder}, {"b.png", folder}});
        const thumbnails::ThumbnailCache cache;
        thumbnails::PictureStamp stamp;
        QVERIFY(thumbnails::stampPicture(first, stamp));
        const QByteArray entry = QFile::encodeName(cache.entryPath(stamp.uri));
        QVERIFY(QDir().mkpath(QFileInfo(QFile::decodeName(entry)).path()));
        QCOMPARE(::mkfifo(entry.constData(), 0600), 0);
        // Should a reader be stuck on the pipe, a writer that opens and closes it frees it.
        const auto freeAReader = qScopeGuard([&entry] {
            const int fd = ::open(entry.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        });
        openList();
        test::EventLoopWatchdog watchdog;
        watchdog.start();
        QPointer<frmThumbnails> sheet = frmThumbnails::showShared();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet->isBuilding(), 10000);
        QCOMPARE(labels(sheet), (QStringList{"a.png", "b.png"}));
        QVERIFY(!thumbnailAt(sheet, 0).isNull());
        QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("cmdExit")), Qt::LeftButton);
        test::flushDeletes();
        watchdog.stop();
        QVERIFY2(watchdog.withinLimit(test::stallLimitMs()), qPrintable(watchdog.report()));
        QVERIFY(sheet.isNull());
    }

    void showingAgainWhileOpenOnlyBringsItUpAndAfterClosingBuildsAfresh()
    {
        picture("a.png");
        addRows({{"a.png", m_pictures->path()}});
        frmImgList *list = openList();
        frmThumbnails *sheet = openBuiltSheet();
        picture("b.png");
        addRows({{"b.png", m_pictures->path()}});
        list->unload();
        openList();

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
        const QString path = picture("a.png");
        addRows({{"a.png", m_pictures->path()}});
        openList();
        ThumbnailSheetView *view = sheetView(openBuiltSheet());
        QVERIFY(view->dragEnabled());
        QVERIFY(!view->acceptDrops());
        std::unique_ptr<QMimeData> data(view->model()->mimeData({view->model()->index(0, 0)}));
        QCOMPARE(data->urls(), QList<QUrl>{QUrl::fromLocalFile(path)});
    }

    void doubleClickingAThumbnailShowsItInTheSharedViewerOnly()
    {
        viewing::installViewerOpeners();
        const QString other = picture("other.png");
        const QString a = picture("a.png");
        const QString b = picture("b.png");
        addRows({{"a.png", m_pictures->path()}, {"b.png", m_pictures->path()}});
        openList();
        gCurrentPath = other;
        viewers::openNewViewer();
        ThumbnailSheetView *list = sheetView(openBuiltSheet());

        doubleClick(list, 0);
        QCOMPARE(gCurrentPath, a);
        QCOMPARE(frameStatusText(), a);
        QCOMPARE(windowsCaptioned(caption::Viewer), 2);
        // A second thumbnail replaces the first in the shared viewer; the other viewer stays.
        doubleClick(list, 1);
        test::flushDeletes();
        QCOMPARE(frameStatusText(), b);
        QCOMPARE(windowsCaptioned(caption::Viewer), 2);

        list->clearSelection();
        gCurrentPath.clear();
        qobject_cast<frmThumbnails *>(list->parentWidget())->lvViewer_DblClick();
        QVERIFY(gCurrentPath.isEmpty());
    }

    void returnOnASelectedThumbnailOpensItAsADoubleClickDoes()
    {
        viewing::installViewerOpeners();
        const QString a = picture("a.png");
        const QString b = picture("b.png");
        addRows({{"a.png", m_pictures->path()}, {"b.png", m_pictures->path()}});
        openList();
        frmThumbnails *sheet = openBuiltSheet();
        ThumbnailSheetView *view = sheetView(sheet);
        QApplication::setActiveWindow(m_frame.get());
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(view, 1));
        QTRY_COMPARE(QApplication::focusWidget(), view);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(gCurrentPath, b);
        QCOMPARE(frameStatusText(), b);
        QCOMPARE(windowsCaptioned(caption::Viewer), 1);

        // The arrow keys move the selection; keypad Enter opens as Return does.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(view, 1));
        QTRY_COMPARE(QApplication::focusWidget(), view);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        test::flushDeletes();
        QCOMPARE(gCurrentPath, a);
        QCOMPARE(frameStatusText(), a);
        QCOMPARE(windowsCaptioned(caption::Viewer), 1);
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
        picture(name);
        addRows({{name, m_pictures->path()}});
        openList();
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
