// The thumbnail window: placement, the walk over the catalogue grids, the sheet's build and
// opening a thumbnail in the shared viewer.
#include "frmThumbnails.h"

#include "CatalogueGrid.h"
#include "CataloguePaths.h"
#include "Frame.h"
#include "ModGlobal.h"
#include "RunTimeError.h"
#include "ThumbnailBuild.h"
#include "ThumbnailSheetModel.h"
#include "ThumbnailSheetView.h"
#include "Twips.h"
#include "ViewerOpening.h"
#include "WindowList.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QLabel>
#include <QPushButton>
#include <QSet>

#include <limits>

namespace pixdock {

namespace {
const QString Caption = QStringLiteral("Thumbnail Viewer");
constexpr int ClientWidth = 10140;
constexpr int ClientHeight = 8190;

void place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(twips::rectToPixels(left, top, width, height));
}

// The sheet pictures are made at the screen's density, so that they are sharp on a dense screen.
QSize sheetPixels(const QWidget *widget)
{
    const qreal ratio = std::max<qreal>(1, widget->devicePixelRatioF());
    return (QSizeF(thumbnails::SheetSize) * ratio).toSize();
}
} // namespace

frmThumbnails::frmThumbnails()
    : m_items(new ThumbnailSheetModel(this))
    , lvViewer(new ThumbnailSheetView(thumbnails::SheetSize, this))
    , cmdExit(new QPushButton(QStringLiteral("Close"), this))
    , lblProgress(new QLabel(this))
{
    setWindowTitle(Caption);
    lvViewer->setObjectName(QStringLiteral("lvViewer"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    place(lvViewer, 120, 240, 9615, 6975);
    place(cmdExit, 4320, 7440, 1215, 375);
    place(lblProgress, 120, 7500, 3975, 255);

    lvViewer->setModel(m_items);

    connect(cmdExit, &QPushButton::clicked, this, &frmThumbnails::cmdExit_Click);
    connect(lvViewer, &QAbstractItemView::doubleClicked, this, &frmThumbnails::lvViewer_DblClick);
    connect(lvViewer, &ThumbnailSheetView::returnPressed, this, &frmThumbnails::lvViewer_DblClick);
    connect(lvViewer, &ThumbnailSheetView::visibleRowsChanged, this, &frmThumbnails::wantVisiblePictures);
}

frmThumbnails::~frmThumbnails()
{
    stopBuild();
}

frmThumbnails *frmThumbnails::showShared()
{
    frmThumbnails *sheet = sharedWindow<frmThumbnails>();
    sheet->showWindow();
    sheet->bringToFront();
    return sheet;
}

void frmThumbnails::Form_Load()
{
    setClientSizeTwips(ClientWidth, ClientHeight);
    setLeftTwips(panelWidthTwips());
    setTopTwips(0);
    // As tall as the control panel; without one (a sheet shown on its own) as designed.
    if (const int height = panelHeightTwips(); height > 0)
        setHeightTwips(height);
    if (gListRow < std::numeric_limits<qint32>::max())
        ++gListRow;
    buildSheet(picturesOfOpenGrids());
}

void frmThumbnails::Form_Unload()
{
    stopBuild();
    // The next "Show as Thumbnails" loads and builds a fresh sheet.
    if (loadedSharedWindow<frmThumbnails>() == this)
        forgetSharedWindow<frmThumbnails>();
}

QStringList frmThumbnails::picturesOfOpenGrids()
{
    const auto &windows = WindowList::instance();
    const bool listOpen = windows.hasChildCaptioned(caption::ImageList);
    const bool searchOpen = windows.hasChildCaptioned(caption::Search);
    QStringList paths;
    // A grid that cannot be read ends the walk; the pictures found before it are still shown.
    endAtFirstFailure([&] {
        if (listOpen) {
            // Only a private list may be open: the shared one is then created and shown too.
            const bool wasLoaded = loadedSharedWindow<frmImgList>() != nullptr;
            frmImgList *list = sharedWindow<frmImgList>();
            if (!wasLoaded)
                list->showWindow();
            appendGridPictures(*list->grid(), paths);
        }
        if (searchOpen)
            appendGridPictures(*sharedWindow<frmSearch>()->grid(), paths);
    });
    return paths;
}

void frmThumbnails::buildSheet(const QStringList &paths)
{
    stopBuild();
    const QStringList keys = firstPlaces(paths);
    m_build = new thumbnails::ThumbnailBuild(this);
    m_items->setImageSource([build = m_build](int picture) { return build->image(picture); });
    m_items->setPictures(keys);
    connect(m_build, &thumbnails::ThumbnailBuild::thumbnailReady, m_items, &ThumbnailSheetModel::pictureChanged);
    connect(m_build, &thumbnails::ThumbnailBuild::noThumbnail, m_items, &ThumbnailSheetModel::dropPicture);
    connect(m_build, &thumbnails::ThumbnailBuild::progressChanged, this, &frmThumbnails::showProgress);
    connect(m_build, &thumbnails::ThumbnailBuild::finished, this, &frmThumbnails::buildFinished);
    if (!keys.isEmpty())
        m_hourglass.emplace();
    showProgress(0, int(keys.size()));
    wantVisiblePictures();
    m_build->start(keys, thumbnails::ThumbnailCache(), sheetPixels(this));
}

bool frmThumbnails::isBuilding() const
{
    return m_build && m_build->isRunning();
}

void frmThumbnails::wantVisiblePictures()
{
    if (!m_build)
        return;
    const auto [first, last] = lvViewer->visibleRows();
    const int screen = std::max(1, last - first + 1);
    const int count = m_items->rowCount();
    QList<int> wanted;
    wanted.reserve(3 * screen);
    // The screen first, then the screen below it (where the user is most likely to go), then
    // the one above.
    for (int row = first; row <= last; ++row)
        wanted.append(m_items->pictureAt(row));
    for (int row = last + 1; row < std::min(count, last + 1 + screen); ++row)
        wanted.append(m_items->pictureAt(row));
    for (int row = first - 1; row >= std::max(0, first - screen); --row)
        wanted.append(m_items->pictureAt(row));
    const int middle = std::clamp((first + last) / 2, 0, std::max(0, count - 1));
    m_build->setWanted(wanted, m_items->pictureAt(middle));
}

void frmThumbnails::showProgress(int settled, int total)
{
    lblProgress->setText(total > 0 ? QStringLiteral("%1 of %2").arg(settled).arg(total) : QString());
}

void frmThumbnails::buildFinished()
{
    m_hourglass.reset();
    emit sheetBuilt();
}

void frmThumbnails::stopBuild()
{
    if (m_build) {
        m_build->stop();
        m_build->deleteLater();
        m_build = nullptr;
    }
    m_hourglass.reset();
}

void frmThumbnails::lvViewer_DblClick()
{
    const QModelIndexList selected = lvViewer->selectionModel()->selectedIndexes();
    if (m_items->rowCount() == 0 || selected.isEmpty())
        return;
    gCurrentPath = m_items->keyAt(selected.first().row());
    endAtFirstFailure([] { viewers::openSharedViewer(); });
}

void frmThumbnails::cmdExit_Click()
{
    unload();
}

void appendGridPictures(catalogue::CatalogueGrid &grid, QStringList &paths)
{
    // A list still being copied is waited for (the interface keeps running); a grid closed
    // meanwhile ends the walk.
    const QPointer<catalogue::CatalogueGrid> guard(&grid);
    if (grid.rows() > 1 && !catalogue::waitForGridRow(guard, grid.rows() - 1) && !guard)
        throw RunTimeError(err::InvalidGridRow, QStringLiteral("The grid was closed."));
    const int rows = grid.rows();
    // The columns found by identity once, not for every row of a large catalogue; a grid
    // without one of them is refused as textOf refuses it.
    const int location = grid.positionOf(catalogue::column::Location);
    const int fileName = grid.positionOf(catalogue::column::FileName);
    if (location < 0 || fileName < 0)
        grid.textOf(0, location < 0 ? catalogue::column::Location : catalogue::column::FileName);
    paths.reserve(paths.size() + rows);
    for (int row = 1; row < rows; ++row) {
        gCurrentPath = catalogue::fullPathOf(grid.textAt(row, location), grid.textAt(row, fileName));
        paths.append(gCurrentPath);
    }
    // Reading by identity leaves the current cell alone; put it where the walk ends.
    if (rows > 1) {
        grid.setRow(rows - 1);
        grid.setCol(1);
    }
}

QStringList firstPlaces(const QStringList &paths)
{
    QStringList unique;
    QSet<QString> seen;
    seen.reserve(paths.size());
    unique.reserve(paths.size());
    for (const QString &path : paths) {
        if (!seen.contains(path)) {
            seen.insert(path);
            unique.append(path);
        }
    }
    return unique;
}

} // namespace pixdock
