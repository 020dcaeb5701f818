// What each window that meets the catalogue does with a damaged or unavailable db.fil: start-up
// opening the shared connection, and the add, removal, search and list windows each doing its
// one action. Each scenario reports what the user was told and how long the window was busy.
// Needs a QApplication, a frame and panel (test::HostFrame), message boxes in answering mode
// and the program folder pointed at the catalogue.
#pragma once

#include <QStringList>

namespace pixdock::reliability {

struct WindowReport
{
    bool ok = false;      // the action did what it was asked
    QStringList messages; // message boxes shown (start-up: the failure it reports)
    QString label;        // the window's message line afterwards
    int rows = -1;        // rows the list or search window shows
    qint64 busyMs = 0;    // how long the action held the window

    // "ok 0|1 " and the fields in Base64, for passing a report from a helper process.
    QString toText() const;
    static WindowReport fromText(const QString &text);
};

// Runs the scenario named start (OpenConnection as start-up runs it), add (the add window saving
// /pictures/probe.jpg with the description "probe"), remove (the removal window removing it, the
// question answered Yes), search (the search window searching for "probe") or list (the list
// window loading), each after start-up; then closes the shared connection, so nothing holds the
// catalogue file afterwards.
WindowReport scenarioByName(const QString &name);

} // namespace pixdock::reliability
