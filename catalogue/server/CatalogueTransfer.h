// The two catalogue commands of the command line: making an empty catalogue, and copying every
// row of one catalogue into another (file to server or back, or between two of a kind).
#pragma once

#include <QByteArray>
#include <QString>

namespace pixdock::catalogue {

// Makes an empty catalogue: on a server, table Info and the rest in the (existing, empty)
// database the URI names; for a path, an SQLite file from the schema. A table Info or a file
// that is already there is refused and left as it is. Raises the program's run-time error.
void createCatalogue(const QString &address);

struct CopyOutcome
{
    qint64 rows = 0;
    // The SHA-256 of the rows, the same on both sides.
    QByteArray checksum;
};

// Copies every row of `from` into `to` in one transaction, then reads the target back before
// committing and checks that its row count and checksum are the source's. The target must be
// an empty catalogue; a missing target file is made from the schema first (and removed again
// when the copy fails), while a server target must have been made with createCatalogue.
// Raises the program's run-time error, and then nothing was changed.
CopyOutcome copyCatalogue(const QString &from, const QString &to);

} // namespace pixdock::catalogue
