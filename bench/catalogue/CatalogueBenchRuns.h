// The catalogue benchmark's measurements: each times the program's own code path against an
// anchor run in the same process on the same catalogue, and checks that both give the same rows.
#pragma once

#include <QString>

namespace pixdock::bench {

struct SearchFigure
{
    double pixdockMs = 0;
    double anchorMs = 0;
    qint64 rows = 0;
    bool viaIndex = false;
    bool identical = false;
};

// The search window's search (the service's search on its load thread, every matching row
// copied into the snapshot) against the search statement run as a plain LIKE scan and read
// whole. Best of `runs`.
SearchFigure measureSearch(const QString &keywordText, int runs);

struct ListFigure
{
    double firstScreenMs = 0;   // from asking until the first screen of rows is painted
    double fullCopyMs = 0;      // from asking until every row is in the snapshot
    double snapshotMb = 0;      // what the snapshot's rows take
    double memoryMb = 0;        // what the process grew by, the grid shown
    double longestStallMs = 0;  // the interface thread's longest stall meanwhile
    double anchorMs = 0;        // every row read into a QString per cell, sorted, into the model
    double anchorMemoryMb = 0;
    qint64 rows = 0;
    bool identical = false;
};

// The list window's snapshot against the anchor. The program's figures are the best of `runs`
// (memory from the first); the anchor runs once.
ListFigure measureList(int runs);

// Resident memory of this process, in MB.
double residentMb();

} // namespace pixdock::bench
