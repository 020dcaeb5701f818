// The thumbnail window over the real catalogue windows: which pictures it shows and in what
// order, files without a thumbnail, the clipboard, the shared cache, the progress and the
// hourglass, closing it part-way, showing it again, opening a thumbnail in the viewer by
// double-click or Return, the rows scrolled to first, and labels that wrap.
#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "Locations.h"
#include "ProgramFolder.h"
#include "ServerCatalogue.h"
#include "ThumbnailDelegate.h"
#include "ThumbnailSheetModel.h"
#include "ThumbnailSheetView.h"
#include "ViewerOpening.h"
#include "ViewingSetup.h"
#include "ViewingTestCase.h"
#include "frmImgList.h"
#include "frmSearch.h"
#include "frmThumbnails.h"

#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>

namespace {
constexpr int BuildTimeout = 30000;

ThumbnailSheetView *view(frmThumbnails *sheet) { return sheet->findChild<ThumbnailSheetView *>("lvViewer"); }
QModelIndex cell(frmThumbnails *sheet, int row) { return view(sheet)->model()->index(row, 0); }

QStringList itemTexts(frmThumbnails *sheet, int role)
{
    QStringList texts;
    for (int row = 0; row < view(sheet)->model()->rowCount(); ++row)
        texts << cell(sheet, row).data(role).toString();
    return texts;
}
QStringList labels(frmThumbnails *sheet) { return itemTexts(sheet, Qt::DisplayRole); }
QImage thumbnailAt(frmThumbnails *sheet, int row) { return cell(sheet, row).data(Qt::DecorationRole).value<QImage>(); }
QString progressOf(frmThumbnails *sheet) { return sheet->findChild<QLabel *>("lblProgress")->text(); }

QPoint centreOf(frmThumbnails *sheet, int row) { view(sheet)->scrollTo(cell(sheet, row)); return view(sheet)->visualRect(cell(sheet, row)).center(); }

frmThumbnails *builtSheet()
{
    frmThumbnails *sheet = frmThumbnails::showShared();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!sheet->isBuilding(), BuildTimeout); }();
    return sheet;
}

frmImgList *openList() { sharedWindow<frmImgList>()->showWindow(); return sharedWindow<frmImgList>(); }
} // namespace

class TestFrmThumbnails : public test::ThumbnailTestCase
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
        ThumbnailTestCase::init();
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

    // Beside the panel, empty when neither grid is open, the list row still counted. Long names
    // wrap over the label's lines instead of being cut; one too long for the lines there are
    // ends in an ellipsis on the last one.
    void opensBesidePanelEmptyWhenNeitherGridIsOpenAndStillCountsTheListRow()
    {
        gListRow = 5;
        frmThumbnails *sheet = frmThumbnails::showShared();
        // Its caption, no cells, no progress text, its button's text.
        QCOMPARE(sheet->windowTitle() + labels(sheet).join(',') + progressOf(sheet)
                     + sheet->findChild<QPushButton *>("cmdExit")->text(), QStringLiteral("Thumbnail ViewerClose"));
        QVERIFY(!sheet->isBuilding() && gListRow == 6);
        const auto rounded = [](int t) { return twips::fromPixels(twips::toPixels(t)); };
        QCOMPARE((QList<int>{sheet->leftTwips(), sheet->topTwips(), sheet->heightTwips()}),
                 (QList<int>{rounded(panelWidthTwips()), 0, rounded(panelHeightTwips())}));
        const QFont font = view(sheet)->font();
        const int width = view(sheet)->cellSize().width() - 4;
        for (const auto &[name, lines] : {std::pair<QString, int>{"PXL_20210704_123456789.jpg", 2},
                                          {"Holiday at the sea 2019 (12).jpeg", 3}, {"a.jpg", 1}}) {
            const QStringList shown = wrappedLabel(name, font, width);
            QCOMPARE(shown.size(), lines);
            QCOMPARE(shown.join(QString()).remove(' '), QString(name).remove(' '));
            for (const QString &line : shown)
                QVERIFY2(QFontMetrics(font).horizontalAdvance(line) <= width, qPrintable(line));
        }
        const QStringList longest = wrappedLabel(QStringLiteral("Holiday at the sea").repeated(20), font, width);
        QCOMPARE(longest.size(), LabelLines);
        QVERIFY(longest.last().endsWith(QChar(0x2026)));
    }

    // In row order, labelled by file name; a file that is no picture, one gone and an icon get
    // no cell, the others keep their order; building leaves the clipboard as it was.
    void showsTheListsPicturesInRowOrderLabelledWithTheirFileNames()
    {
        QGuiApplication::clipboard()->setText("keep me");
        const QString folder = pictures();
        test::writeBytes(folder, "a1.png", "this is no picture");
        // The folder with and without its trailing separator gives the same kind of key.
        addRows({{picture("c.png"), folder}, {picture("a.png"), folder + "/"}, {picture("b.jpg"), folder}, {"a1.png", folder},
                 {"b1.png", folder}, {picture("b2.ico"), folder}});
        frmImgList *list = openList();
        frmThumbnails *sheet = builtSheet();
        QCOMPARE(labels(sheet).join(',') + ' ' + progressOf(sheet), QStringLiteral("a.png,b.jpg,c.png 6 of 6"));
        QCOMPARE(cell(sheet, 1).data(Qt::ToolTipRole).toString(), folder + "/b.jpg");
        QCOMPARE(gCurrentPath, folder + "/c.png");
        QCOMPARE(QPoint(list->grid()->col(), list->grid()->row()), QPoint(1, 6));
        // Made at the screen's pixels, so that it is sharp on a dense screen too.
        QCOMPARE(thumbnailAt(sheet, 0).size(), (QSizeF(100, 100) * sheet->devicePixelRatioF()).toSize());
        QVERIFY(QGuiApplication::clipboard()->text() == "keep me" && QGuiApplication::clipboard()->image().isNull());
        // Dragged out, a thumbnail carries its file.
        QVERIFY(view(sheet)->dragEnabled() && !view(sheet)->acceptDrops());
        std::unique_ptr<QMimeData> data(view(sheet)->model()->mimeData({cell(sheet, 0)}));
        QCOMPARE(data->urls(), QList<QUrl>{QUrl::fromLocalFile(folder + "/a.png")});

        // The sheet fills the desktop's cache, and an entry it did not make, for the same
        // version of the file, is the one shown.
        sheet->unload();
        test::flushDeletes();
        QVERIFY(QFile::exists(m_cache.entryPath(thumbnails::fileUri(folder + "/b.jpg"))));
        QVERIFY(m_cache.write(test::stampOf(folder + "/a.png"), test::filled({128, 96}, Qt::magenta)));
        QCOMPARE(thumbnailAt(builtSheet(), 0).pixelColor(50, 50), QColor(Qt::magenta));
    }

    void aPictureListedTwiceShowsOnceAtItsFirstPlaceListFirstThenSearch()
    {
        const QString folder = pictures();
        addRows({{picture("b.png"), folder, "beach"}, {picture("a.png"), folder, "dog"}, {"a.png", folder, "dog again"}});
        // Read by column identity after the user moved the columns.
        openList()->grid()->horizontalHeader()->moveSection(0, 2); // a, a, b
        addRows({{picture("d.png"), folder, "beach too"}});
        frmSearch *search = sharedWindow<frmSearch>();
        search->showWindow();
        search->findChild<QLineEdit *>("txtKeywords")->setText("beach");
        search->cmdSearch_Click(); // b, d
        QCOMPARE(labels(builtSheet()), (QStringList{"a.png", "b.png", "d.png"}));
        QCOMPARE(gCurrentPath, folder + "/d.png");
        QCOMPARE(search->grid()->row(), 2);
    }

    // A picture of thousands of scans first, then quick pictures, then many rows naming one
    // large bitmap through links of their own: the quick ones come all the same, and closing
    // the sheet part-way is at once and stops the build.
    void aPictureOfManyScansHoldsBackNoOtherThumbnailAndClosingIsAtOnce()
    {
        test::writeBytes(pictures(), "a.jpg", test::manyScanJpeg(test::manyScanRepeats()));
        listLinks(picture("large.bmp", {4000, 3000}), "z%02d.bmp", 60, {"a.jpg", picture("b.png"), picture("c.png"), picture("d.png")});
        QPointer<frmThumbnails> sheet = frmThumbnails::showShared();
        const auto shown = [&sheet](const char *name) {
            const qsizetype row = labels(sheet).indexOf(QLatin1String(name));
            return row >= 0 && !thumbnailAt(sheet, int(row)).isNull();
        };
        QTRY_VERIFY_WITH_TIMEOUT(shown("b.png") && shown("c.png") && shown("d.png"), BuildTimeout);
        QVERIFY(sheet->isBuilding());
        QTest::mouseClick(sheet->findChild<QPushButton *>("cmdExit"), Qt::LeftButton);
        test::flushDeletes();
        QVERIFY(sheet.isNull() && !test::captions().contains("Thumbnail Viewer"));
        // Nothing is made for the closed sheet any more.
        const QDir entries(m_cache.root() + "/normal");
        const qsizetype written = entries.entryList(QDir::Files).size();
        QVERIFY2(written < 30, qPrintable(QString::number(written)));
        QCoreApplication::processEvents();
        QCOMPARE(entries.entryList(QDir::Files).size(), written);
    }

    // Showing it again while it is open only brings it up; after closing, it builds afresh,
    // opening the shared list when only a private one is open.
    void showingAgainWhileOpenOnlyBringsItUpAndAfterClosingBuildsAfresh()
    {
        addRows({{picture("a.png"), pictures()}});
        frmImgList *list = openList();
        frmThumbnails *sheet = builtSheet();
        list->unload();
        auto *privateList = new frmImgList;
        privateList->load();
        privateList->showWindow();
        addRows({{picture("b.png"), pictures()}});
        QCOMPARE(frmThumbnails::showShared(), sheet);
        QCOMPARE(labels(sheet), QStringList{"a.png"});
        QCOMPARE(gListRow, 1);
        sheet->cmdExit_Click();
        test::flushDeletes();
        QCOMPARE(labels(builtSheet()), (QStringList{"a.png", "b.png"}));
        QCOMPARE(gListRow, 2);
        QCOMPARE(test::captions().count("Database Image List"), 2);
        QVERIFY(loadedSharedWindow<frmImgList>() && loadedSharedWindow<frmImgList>() != privateList
                && loadedSharedWindow<frmImgList>()->isVisible());
    }

    // A double-click, Return or keypad Enter on a thumbnail shows it in the shared viewer, which
    // each next one replaces; a viewer opened otherwise stays.
    void aThumbnailOpensInTheSharedViewerOnly()
    {
        viewing::installViewerOpeners();
        gCurrentPath = QDir(pictures()).filePath(picture("other.png"));
        addRows({{picture("a.png"), pictures()}, {picture("b.png"), pictures()}});
        openList();
        viewers::openNewViewer();
        frmThumbnails *sheet = builtSheet();
        QWidget *viewport = view(sheet)->viewport();
        QApplication::setActiveWindow(m_frame.get());
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        const auto opened = [&](const QString &name) {
            test::flushDeletes();
            QCOMPARE(gCurrentPath, QDir(pictures()).filePath(name));
            QCOMPARE(frameStatusText(), gCurrentPath);
            QCOMPARE(test::captions().count(caption::Viewer), 2);
        };
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOf(sheet, 0));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, centreOf(sheet, 0));
        opened("a.png");
        for (auto [key, name] : {std::pair{Qt::Key_Return, "b.png"}, std::pair{Qt::Key_Enter, "a.png"}}) {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOf(sheet, 1));
            QTRY_COMPARE(QApplication::focusWidget(), view(sheet));
            // While the sheet has the focus, only the selected cell is drawn in the highlight colour.
            if (key == Qt::Key_Return) {
                const QColor mark = viewport->palette().color(QPalette::Highlight);
                const auto marked = [&](int i) {
                    const QImage shown = viewport->grab(view(sheet)->visualRect(cell(sheet, i))).toImage();
                    for (int y = 0; y < shown.height(); ++y)
                        for (int x = 0; x < shown.width(); ++x)
                            if (shown.pixelColor(x, y) == mark)
                                return true;
                    return false;
                };
                QVERIFY(marked(1) && !marked(0));
            }
            // The arrow keys move the selection.
            if (key == Qt::Key_Enter)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
            QTest::keyClick(QApplication::focusWidget(), key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            opened(name);
        }
        // Nothing selected: nothing opens.
        view(sheet)->clearSelection();
        gCurrentPath.clear();
        sheet->lvViewer_DblClick();
        QVERIFY(gCurrentPath.isEmpty());
    }

    // Every picture has its cell from the start, so the end of the sheet can be scrolled to;
    // the rows in sight are made first; the hourglass and the progress show while it builds.
    void theRowsScrolledToAreMadeBeforeTheRest()
    {
        listLinks(picture("large.jpg", {1600, 1200}), "p%03d.jpg", 300);
        frmThumbnails *sheet = frmThumbnails::showShared();
        ThumbnailSheetView *v = view(sheet);
        QVERIFY(sheet->isBuilding() && QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(progressOf(sheet).endsWith(" of 300"));
        QCOMPARE(v->model()->rowCount(), 300);
        // The cells flow from the left and wrap into rows as wide as the sheet.
        const QRect first = v->visualRect(cell(sheet, 0));
        const int perRow = v->viewport()->width() / first.width();
        QVERIFY(perRow > 1);
        QCOMPARE(v->visualRect(cell(sheet, 1)).topLeft(), first.topRight() + QPoint(1, 0));
        QCOMPARE(v->visualRect(cell(sheet, perRow)).topLeft(), first.bottomLeft() + QPoint(0, 1));
        v->verticalScrollBar()->setValue(v->verticalScrollBar()->maximum());
        const auto [top, last] = v->visibleRows();
        QCOMPARE(last, 299);
        QTRY_VERIFY_WITH_TIMEOUT(!thumbnailAt(sheet, 299).isNull() && !thumbnailAt(sheet, top).isNull(), BuildTimeout);
        QVERIFY2(progressOf(sheet).section(' ', 0, 0).toInt() < 300 - (last - top + 1), qPrintable(progressOf(sheet)));
        QTRY_VERIFY_WITH_TIMEOUT(!sheet->isBuilding(), 4 * BuildTimeout);
        QCOMPARE(progressOf(sheet), QStringLiteral("300 of 300"));
    }

private:
    QString picture(const QString &name, QSize size = {400, 100}) { test::writePicture(pictures(), name, size); return name; }
    void addRows(const QList<QStringList> &rows) { test::addCatalogueRows(m_serverAddress, rows); }
    // Catalogues the files `first` names (as they are), then `count` links to `target` named by
    // `pattern` and their number, and opens the list of them.
    void listLinks(const QString &target, const char *pattern, int count, const QStringList &first = {})
    {
        QList<QStringList> rows;
        for (const QString &name : first)
            rows << QStringList{name, pictures()};
        for (int i = 0; i < count; ++i) {
            rows << QStringList{QString::asprintf(pattern, i), pictures()};
            QVERIFY(QFile::link(QDir(pictures()).filePath(target), QDir(pictures()).filePath(rows.constLast().constFirst())));
        }
        addRows(rows);
        openList();
    }

    std::optional<test::ProgramFolder> m_program;
    QString m_serverAddress; // the catalogue's address on the tests' server; empty for db.fil
    std::unique_ptr<test::HostFrame> m_frame;
    QByteArray m_savedCacheHome;
};

PIXDOCK_REGISTER_TEST(TestFrmThumbnails)
#include "tst_frmThumbnails.moc"
