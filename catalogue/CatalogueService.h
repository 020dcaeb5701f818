// Runs the catalogue on worker threads so that the interface thread never waits on the file:
// every list and search is a snapshot copied by a load thread of its own, every write and all
// upkeep of the engine's derived data run on one writer thread. A window that must have a
// write's answer before it goes on (Save, Delete) waits for it with its event loop running, so
// the program stays responsive however long another program holds the catalogue.
#pragma once

#include "CatalogueSnapshot.h"
#include "CatalogueStore.h"

#include <QString>

#include <memory>

namespace pixdock::catalogue {

class CatalogueService
{
public:
    static CatalogueService &instance();

    // Starts the workers on the configured catalogue (start-up, once the catalogue opened).
    // Starting again starts afresh.
    void start();
    // Stops them: the writer finishes the job it is on, loads still running are abandoned.
    void stop();

    // The list window's rows: every row in the name order. Returns at once; the snapshot fills.
    std::shared_ptr<CatalogueSnapshot> loadList();
    // The search window's rows: those whose description holds any of the comma-separated
    // keywords (as typed: nothing trimmed), in the order they were added.
    std::shared_ptr<CatalogueSnapshot> search(const QString &keywordText);

    // The writes of the add and removal windows. Each waits for its answer with the event loop
    // running and raises the engine's run-time error.
    int fileNameCount(const QString &fileName);
    void addRow(const CatalogueRow &row);
    int removeRows(const QString &fileName, const QString &location);

    // Has the writer bring the engine's derived data up to date, in bounded steps between other
    // work.
    void scheduleUpkeep();
    // Waits, with the event loop running, until the upkeep has nothing left to do now.
    void waitForUpkeep();

    struct Private;

private:
    CatalogueService();
    std::shared_ptr<Private> d;
};

} // namespace pixdock::catalogue
