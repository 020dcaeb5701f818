// The thumbnail window: the pictures of the catalogue list and of the search results as a
// sheet of 100 x 100 thumbnails with their file names; a double-click opens one in the viewer.
#pragma once

#include "ChildWindow.h"
#include "WaitCursor.h"

#include <QStringList>

#include <optional>

class QLabel;
class QPushButton;

namespace pixdock {

class ThumbnailSheetModel;
class ThumbnailSheetView;
namespace catalogue {
class CatalogueGrid;
}
namespace thumbnails {
class ThumbnailBuild;
}

class frmThumbnails : public ChildWindow
{
    Q_OBJECT
public:
    frmThumbnails();
    ~frmThumbnails() override;

    // "Show as Thumbnails": the one shared sheet, built when it loads; while it is open,
    // showing it again only brings it up with the thumbnails it has.
    static frmThumbnails *showShared();

    // Builds the sheet from picture paths in this order; a path that comes again is left out.
    // Every picture has its cell at once; the thumbnails are made by worker threads, those on
    // screen first, and a picture found to have none loses its cell.
    void buildSheet(const QStringList &paths);
    bool isBuilding() const;

    void lvViewer_DblClick();
    void cmdExit_Click();

signals:
    // The build has placed every picture it will place (also when there was nothing to build).
    void sheetBuilt();

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    // The full paths of the pictures on the list window's grid, then the search window's,
    // from the shared instances of those windows, each picture at its first place.
    QStringList picturesOfOpenGrids();
    // Tells the build which pictures are on screen and near it, the ones on screen first.
    void wantVisiblePictures();
    void showProgress(int settled, int total);
    void buildFinished();
    void stopBuild();

    ThumbnailSheetModel *m_items;
    ThumbnailSheetView *lvViewer;
    QPushButton *cmdExit;
    QLabel *lblProgress;
    thumbnails::ThumbnailBuild *m_build = nullptr;
    std::optional<WaitCursor> m_hourglass;
};

// Appends the full path of every data row of `grid` (file name and folder read by column
// identity, so moved columns do not matter), setting gCurrentPath to each in turn, and leaves
// the grid's current cell on its last row, column 1, as a walk over the rows would.
void appendGridPictures(catalogue::CatalogueGrid &grid, QStringList &paths);

// The paths with every repeat after the first removed, the order kept.
QStringList firstPlaces(const QStringList &paths);

} // namespace pixdock
