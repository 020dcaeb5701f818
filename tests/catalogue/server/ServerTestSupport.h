// What the server tests share: a fresh database on the tests' own server for each test, and
// reading a file catalogue's rows as they are stored.
#pragma once

#include "CopyRows.h"
#include "PostgresServer.h"

#include <QList>
#include <QString>

namespace pixdock::test {

// A new, empty database on the shared server; its URI. Fails the calling test when the server
// cannot be had.
QString freshServerDatabase(const QString &purpose);

// The rows of a catalogue file in rowid order, NULL kept apart from the empty text.
QList<catalogue::CopiedRow> fileRows(const QString &path);
// The same for a catalogue on the shared server, in id order.
QList<catalogue::CopiedRow> serverRows(const QString &database);

// Rows with every kind of awkward value: quotes, wildcards, backslashes, tabs and newlines,
// NULL and empty values, letters whose case mapping is tricky, emoji, a long description.
QList<catalogue::CopiedRow> awkwardRows();

} // namespace pixdock::test

namespace pixdock::catalogue {
bool operator==(const CopiedRow &a, const CopiedRow &b);
char *toString(const CopiedRow &row);
} // namespace pixdock::catalogue
