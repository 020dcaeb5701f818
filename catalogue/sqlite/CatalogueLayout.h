// Whether a database's table Info is one this program can read and write: a table of its
// own rowid with the columns FileName, Location and Description, any further column one that
// fills itself (a default, NULL allowed, the rowid, generated).
#pragma once

#include <QString>

struct sqlite3;

namespace pixdock::catalogue {

// What is wrong with table Info, in words for the start-up message ("table Info is a view, not
// a table."); empty when nothing is. Reads only; raises when the file cannot be read.
QString layoutProblem(sqlite3 *handle);

} // namespace pixdock::catalogue
