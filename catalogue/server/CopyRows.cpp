// The copy's checksum.
#include "CopyRows.h"

#include <QtEndian>

namespace pixdock::catalogue {

void RowDigest::addValue(const QString &value)
{
    if (value.isNull()) {
        m_hash->addData(QByteArrayView("\0", 1));
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    char header[9] = {1};
    qToLittleEndian<quint64>(quint64(utf8.size()), header + 1);
    m_hash->addData(QByteArrayView(header, sizeof header));
    m_hash->addData(utf8);
}

void RowDigest::add(const CopiedRow &row)
{
    addValue(row.fileName);
    addValue(row.location);
    addValue(row.description);
    ++m_rows;
}

QByteArray RowDigest::result() const { return m_hash->result().toHex(); }

RowDigest RowSource::digestRest()
{
    RowDigest digest;
    CopiedRow row;
    while (next(row))
        digest.add(row);
    return digest;
}

} // namespace pixdock::catalogue
