// The rows the catalogue writer appends, and the ledger that checks a catalogue after the
// writer was killed: the file passes SQLite's integrity check, every change the writer
// acknowledged is there, and every row is whole.
#pragma once

#include <QSet>
#include <QStringList>

namespace pixdock::reliability {

struct WriterRow
{
    // The description runs from a few dozen to a few thousand characters, so rows span pages.
    QString fileName, location, description;
};

// Row number n's values; its file name carries the number.
WriterRow writerRow(qint64 n);

class KillLedger
{
public:
    // Takes what one writer run printed before it was killed; `first` is the number it started at.
    void record(qint64 first, const QByteArray &output);
    // Checks the catalogue against everything recorded so far; returns the problems found (none
    // when all is well) and takes the unacknowledged change that did land as known.
    QStringList check(const QString &cataloguePath);
    // The number the next writer run starts at.
    qint64 nextFirst() const { return m_next; }

    int acknowledgedAdds() const { return m_adds; }
    int acknowledgedRemoves() const { return m_removes; }
    int rowsNow() const { return int(m_present.size()); }
    // What the writer's store reported: "journal=delete synchronous=2".
    const QString &storeSettings() const { return m_settings; }

private:
    QSet<qint64> m_present; // rows acknowledged (or found) present
    qint64 m_next = 1, m_inFlightAdd = -1, m_inFlightRemove = -1;
    int m_adds = 0, m_removes = 0;
    QString m_settings;
};

} // namespace pixdock::reliability
