// The catalogue list window "Database Image List": every catalogued picture, sorted by file
// name, in a grid whose columns the user can reorder; a double-click opens a picture.
#pragma once

#include "ChildWindow.h"

class QPushButton;

namespace pixdock {

class RunTimeError;

namespace catalogue {
class CatalogueGrid;
} // namespace catalogue

class frmImgList : public ChildWindow
{
    Q_OBJECT
public:
    frmImgList();
    ~frmImgList() override;

    void cmdClose_Click();
    // Opens the picture of the grid's current row.
    void MSHFlexGrid1_DblClick();

    // The list grid (read by catalogue stepping and the thumbnail window).
    catalogue::CatalogueGrid *grid() const { return MSHFlexGrid1; }

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Resize();
    void loadCatalogue();
    void reportFailure(const RunTimeError &e);

    // Its rows: a snapshot of the catalogue taken when the window loaded.
    catalogue::CatalogueGrid *MSHFlexGrid1;
    QPushButton *cmdClose;
};

} // namespace pixdock
