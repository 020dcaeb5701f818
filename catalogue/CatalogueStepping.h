// Stepping through the rows of the catalogue grid the user works in (the list window's, else
// the search results) and showing each row's picture in a fresh viewer. The place is gListRow.
#pragma once

namespace pixdock::catalogue {

// "View Next From Database": the row after gListRow, or "This is the last image in the list."
void stepCatalogueForward();
// "View Prev From Database": the row before gListRow, or "This is the first image in the list."
void stepCatalogueBackward();

} // namespace pixdock::catalogue
