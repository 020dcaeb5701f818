// The catalogue benchmark's measurements: each times the program's own code path against an
// anchor run in the same process on the same catalogue, and checks that both give the same rows.
#pragma once

#include <QString>

#include <optional>

namespace pixdock::bench {

struct SearchFigure
{
    double pixdockMs = 0;
    double anchorMs = 0;
    qint64 rows = 0;
    bool viaIndex = false;
    bool identical = false;
};

// The search window's search (searchRows: its own connection, the search, the first screen of
// rows) against the search statement run as a plain LIKE scan and read whole, as the window
// did before. Best of `runs`.
SearchFigure measureSearch(const QString &keywordText, int runs);

struct ListFigure
{
    double firstScreenMs = 0;
    double wholeOrderMs = 0;
    double memoryMb = 0;
    double anchorMs = 0;
    double anchorMemoryMb = 0;
    qint64 rows = 0;
    bool identical = false;
};

// The list window's load into its grid until the first screen is painted, and the memory it
// takes over an empty grid, against loading every row into the grid's model with the list
// statement. The program's figures are the best of `runs`; the anchor runs once.
ListFigure measureList(int runs);

// Resident memory of this process, in MB.
double residentMb();

} // namespace pixdock::bench
