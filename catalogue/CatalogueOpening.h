// Opening the picture of a catalogue grid row in a new viewer window.
#pragma once

#include <QString>

namespace pixdock::catalogue {

class CatalogueGrid;

// The full path of a data row, its file name and folder read by column identity, so that
// moved columns do not matter.
QString rowPicturePath(const CatalogueGrid &grid, int row);

// Opens the picture of the grid's current data row: the row goes to gListRow, its path to
// gCurrentPath; a viewer that is the only window besides the frame and panel is closed, and a
// new viewer opens (brought to the front when asked). Raises a run-time error when the current
// row is not a data row or no viewer could be created.
void openCurrentRow(CatalogueGrid &grid, bool bringToFront);

} // namespace pixdock::catalogue
