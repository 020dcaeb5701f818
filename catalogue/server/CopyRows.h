// Rows on their way from one catalogue to another, and the checksum both sides are held to:
// the rows' three values in the order the catalogue keeps them (rowid, id), NULL told from the
// empty text, so a copy that lost, added, changed or reordered a row does not pass.
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <memory>

namespace pixdock::catalogue {

struct CopiedRow
{
    // A null QString stands for NULL.
    QString fileName;
    QString location;
    QString description;
};

class RowDigest
{
public:
    void add(const CopiedRow &row);
    qint64 rows() const { return m_rows; }
    // The SHA-256 of everything added, in hex.
    QByteArray result() const;

private:
    void addValue(const QString &value);
    // Held by pointer: the hash cannot be moved in this Qt, the digest must be.
    std::unique_ptr<QCryptographicHash> m_hash = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
    qint64 m_rows = 0;
};

// Where rows come from: one consistent state of a catalogue, read in its own order.
class RowSource
{
public:
    virtual ~RowSource() = default;
    // The next row; false after the last. Raises the program's run-time error.
    virtual bool next(CopiedRow &row) = 0;
    // The digest of every row still to come.
    RowDigest digestRest();
};

// Where rows go: all of them in one transaction, checked by reading them back before it commits.
class RowTarget
{
public:
    virtual ~RowTarget() = default;
    // Starts the transaction; refuses a catalogue that already holds rows.
    virtual void begin() = 0;
    virtual void add(const CopiedRow &row) = 0;
    // Ends the adding (the server builds its indexes here).
    virtual void finishAdding() = 0;
    // Reads the rows back inside the transaction, in the catalogue's order.
    virtual RowDigest readBack() = 0;
    virtual void commit() = 0;
    // Undoes everything; never raises.
    virtual void rollback() = 0;
};

} // namespace pixdock::catalogue
