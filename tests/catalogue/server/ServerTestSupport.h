// What the server tests share: a fresh database on the tests' own server for each test, rows of
// a catalogue read and written without the program's own code, and a failure's words.
#pragma once

#include "CatalogueTransfer.h"
#include "CopyRows.h"
#include "PostgresServer.h"
#include "RunTimeError.h"
#include "TestRegistry.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace pixdock::test {

// A new, empty database on the shared server; its name. Fails the calling test when the server
// cannot be had.
QString freshServerDatabase(const QString &purpose);

// Rows as texts "name | location | description", NULL shown as "<NULL>" apart from the empty
// text; and so the rows of a catalogue file in rowid order (or, `onServer`, of a database on the
// shared server in id order).
QStringList texts(const QList<catalogue::CopiedRow> &rows);
QStringList catalogueRows(const QString &database, bool onServer = false);
// Appends rows to a catalogue file's table Info in one transaction; false when refused.
bool writeFileRows(const QString &path, const QList<catalogue::CopiedRow> &rows);

// Rows with every kind of awkward value: quotes, wildcards, backslashes, tabs and newlines,
// NULL and empty values, letters whose case mapping is tricky, emoji, a long description.
QList<catalogue::CopiedRow> awkwardRows();

// What the action's run-time error says; empty when it throws none.
QString failureOf(const std::function<void()> &action);

} // namespace pixdock::test
