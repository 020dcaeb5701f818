// The catalogue's tables and indexes on a PostgreSQL server. Table Info keeps the three columns
// the program knows (FileName, Location, Description), and beside them:
//   id                          bigint generated always as identity primary key: the order rows
//                               were added in, the key the list pages by;
//   pixdock_filename_folded     the file name case-folded, for the add window's duplicate test;
//   pixdock_description_folded  the description case-folded, for the keyword search.
// Pixdock writes the folded copies itself; a trigger fills them in for rows that other programs
// write. Indexes: a trigram (pg_trgm) GIN index over the folded descriptions, a b-tree over the
// folded names, and one over the names in the list's order.
#pragma once

#include "CatalogueAddress.h"

#include <QSqlDatabase>
#include <QString>

namespace pixdock::catalogue {

namespace serverschema {
inline const QString FileNameFolded = QStringLiteral("pixdock_filename_folded");
inline const QString DescriptionFolded = QStringLiteral("pixdock_description_folded");
// The collation of the list's order, and the index that holds the rows in it.
inline const QString NameCollation = QStringLiteral("pixdock_names");
inline const QString NameOrderIndex = QStringLiteral("pixdock_info_name_order");
inline const QString FoldedNameIndex = QStringLiteral("pixdock_info_filename_folded");
inline const QString SearchIndex = QStringLiteral("pixdock_info_search");
inline const QString FoldFunction = QStringLiteral("pixdock_fold");
inline const QString FoldTrigger = QStringLiteral("pixdock_info_folded");
// The first key of Pixdock's advisory locks ("Pixd" in ASCII).
inline constexpr int AdvisoryLockSpace = 0x50697864;
} // namespace serverschema

// The statements that make the catalogue, in order.
QStringList serverSchemaStatements();

// The index statements alone, for building them after a bulk load.
QStringList serverIndexStatements();

// Creates table Info and the rest in one transaction on an open connection. A database that
// already has a table Info is refused and left as it is. Raises the program's run-time error.
void createServerCatalogue(const QSqlDatabase &db, const CatalogueAddress &address);

// Checks that the database holds a catalogue Pixdock can use: table Info (a table, not a view)
// with the three columns and the hidden ones. Reads only. Raises the program's run-time error
// naming what is wrong.
void checkServerCatalogue(const QSqlDatabase &db, const CatalogueAddress &address);

} // namespace pixdock::catalogue
