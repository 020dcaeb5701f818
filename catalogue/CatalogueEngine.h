// What a catalogue engine (the SQLite file, or a PostgreSQL server) offers the
// windows, through the service that runs it on worker threads. Everything behind this line is
// the engine's own: statements, indexes, locks, how it knows the file at the path is its file.
// Everything in front of it is the same for every engine: snapshots, their compact rows, the
// name order, the windows' behaviour and messages.
#pragma once

#include "CatalogueStore.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string_view>

namespace pixdock::catalogue {

// Where an engine hands the rows of a snapshot.
class SnapshotSink
{
public:
    virtual ~SnapshotSink() = default;
    // How many rows will follow, when the engine knows before the first row.
    virtual void expectRows(qint64 count) = 0;
    // One row, its texts in UTF-8, and its place among the snapshot's rows (from 0). Rows may
    // come in any order of places (the first screen first, then the rest as the file holds
    // them); a place handed twice keeps its first row.
    virtual void append(qint64 position, std::string_view fileName, std::string_view location,
                        std::string_view description) = 0;
    // Forget the rows handed so far: the engine reads them again (it found its stored order
    // wanting half-way).
    virtual void restart() = 0;
    // Whether nobody wants the rows any more (the window closed): the engine may stop.
    virtual bool cancelled() const = 0;
};

// One connection to the catalogue, used by one thread at a time. Each read runs in one read
// transaction, so a snapshot is one state of the catalogue; each write is one transaction on
// the catalogue that is at the configured location when it runs (the engine reopens it when
// another program replaced it, and raises when there is none). Failures are the program's
// run-time errors, their descriptions in plain words.
class CatalogueSession
{
public:
    virtual ~CatalogueSession() = default;

    // Every row, in the name order (names::compare, equal names in the order they were added).
    virtual void readNameOrder(SnapshotSink &sink) = 0;
    // The rows whose description holds any of the keywords (literally, without regard to case),
    // in the order they were added.
    virtual void readSearch(const QStringList &keywords, SnapshotSink &sink) = 0;

    // How many rows carry this file name, without regard to case.
    virtual int fileNameCount(const QString &fileName) = 0;
    virtual void addRow(const CatalogueRow &row) = 0;
    // Removes the rows of exactly this file name and folder (compared as the file system does);
    // returns how many.
    virtual int removeRows(const QString &fileName, const QString &location) = 0;

    // One bounded piece of keeping the engine's derived data (indexes, stored order) current.
    enum class Upkeep { Done, More, Later };
    virtual Upkeep upkeepStep() = 0;
};

// Opens a session on the configured catalogue in the calling thread; raises the start-up
// message when there is no usable catalogue there.
std::unique_ptr<CatalogueSession> openSession();

} // namespace pixdock::catalogue
