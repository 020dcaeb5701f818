// The list's order kept in the file: table pixdock_name_order holds every row of Info by rank
// in the name order (names::compare, equal names by rowid), made under the locale its identity
// names. A list reads it in rank order, which gives the first screen at once; rows changed
// since (logged by the triggers) are sorted on their own and merged in while reading, so the
// list is always exactly in the name order, whatever another program changed. Without a stored
// order (a read-only catalogue, another locale) every row is read and sorted.
#pragma once

#include "CatalogueDerived.h"

struct sqlite3;

namespace pixdock::catalogue {

class SnapshotSink;

// Hands every row of Info to the sink in the name order. Runs inside the caller's read
// transaction, so the rows are one state of the catalogue. Returns false when a stored order
// turned out not to account for every row (the rows were then sorted here).
bool readInNameOrder(sqlite3 *handle, const DerivedData &derived, SnapshotSink &sink);

// One bounded step of keeping the stored order current: a full rebuild when it is missing, of
// another locale or far behind, else placing a batch of changed rows; with `verify`, when
// there is nothing else to do, a check that it holds every row once. Returns false when there
// was nothing to do. Raises when the catalogue cannot be written now.
bool stepStoredOrder(sqlite3 *handle, bool verify);

// Marks the stored order as one to make anew (a reader found it wanting). Never raises.
void distrustStoredOrder(sqlite3 *handle);

} // namespace pixdock::catalogue
