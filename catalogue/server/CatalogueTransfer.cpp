// Creating and copying catalogues on either engine.
#include "CatalogueTransfer.h"

#include "CatalogueAddress.h"
#include "CatalogueMaker.h"
#include "FileRowStreams.h"
#include "RunTimeError.h"
#include "ServerConnection.h"
#include "ServerRowStreams.h"
#include "ServerSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>

#include <memory>

// The schema's resource lives in this static library, so it is registered by hand.
static void registerSchemaResource() { Q_INIT_RESOURCE(catalogue_server); }

namespace pixdock::catalogue {

namespace {

// A Qt SQL connection of the command's own, removed when it goes.
class CommandConnection
{
public:
    explicit CommandConnection(const QString &role)
        : m_name(QStringLiteral("pixdock-command-%1").arg(role))
    {
    }
    ~CommandConnection()
    {
        if (!QSqlDatabase::contains(m_name))
            return;
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    CommandConnection(const CommandConnection &) = delete;
    CommandConnection &operator=(const CommandConnection &) = delete;
    const QString &name() const { return m_name; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

// Makes a catalogue file; `existed` says whether one was there already (and left alone).
void makeFile(const QString &path, bool &existed)
{
    registerSchemaResource();
    QFile schema(QStringLiteral(":/pixdock/catalogue/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue schema is missing from the program."));
    const std::string failure = makeCatalogueFromSchema(schema.readAll().toStdString(),
                                                        QFile::encodeName(path).toStdString(), existed);
    if (!failure.empty())
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue file %1 could not be made: %2.")
                                                   .arg(path, QString::fromLocal8Bit(failure.c_str())));
}

std::unique_ptr<RowSource> openSource(const CommandConnection &connection, const CatalogueAddress &address)
{
    if (address.isServer()) {
        openServerConnection(connection.name(), address, 0);
        checkServerCatalogue(connection.database(), address);
        return std::make_unique<ServerRowSource>(connection.database(), address);
    }
    openFileForCopy(connection.name(), address.filePath(), false);
    return std::make_unique<FileRowSource>(connection.database(), address.filePath());
}

std::unique_ptr<RowTarget> openTarget(const CommandConnection &connection, const CatalogueAddress &address)
{
    if (address.isServer()) {
        openServerConnection(connection.name(), address, 0);
        checkServerCatalogue(connection.database(), address);
        return std::make_unique<ServerRowTarget>(connection.database(), address);
    }
    openFileForCopy(connection.name(), address.filePath(), true);
    return std::make_unique<FileRowTarget>(connection.database(), address.filePath());
}

bool sameCatalogue(const CatalogueAddress &a, const CatalogueAddress &b)
{
    if (a.isServer() || b.isServer())
        return a.isServer() == b.isServer() && a.host() == b.host() && a.port() == b.port()
               && a.database() == b.database();
    // A file that is not there yet has no canonical path, and is no other file.
    const QString canonical = QFileInfo(a.filePath()).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b.filePath()).canonicalFilePath();
}

} // namespace

void createCatalogue(const QString &text)
{
    const CatalogueAddress address = CatalogueAddress::fromText(text);
    if (!address.isServer()) {
        bool existed = false;
        makeFile(address.filePath(), existed);
        if (existed)
            throw RunTimeError(err::FileExists,
                               QStringLiteral("The catalogue file %1 already exists; it was left as it is.")
                                   .arg(address.filePath()));
        return;
    }
    CommandConnection connection(QStringLiteral("create"));
    openServerConnection(connection.name(), address, 0);
    createServerCatalogue(connection.database(), address);
}

CopyOutcome copyCatalogue(const QString &fromText, const QString &toText)
{
    const CatalogueAddress from = CatalogueAddress::fromText(fromText);
    const CatalogueAddress to = CatalogueAddress::fromText(toText);
    if (sameCatalogue(from, to))
        throw RunTimeError(err::DatabaseError, QStringLiteral("A catalogue cannot be copied onto itself."));

    CommandConnection source(QStringLiteral("source"));
    std::unique_ptr<RowSource> rows = openSource(source, from);

    bool madeTarget = false;
    if (!to.isServer() && !QFileInfo::exists(to.filePath())) {
        bool existed = false;
        makeFile(to.filePath(), existed);
        madeTarget = !existed;
    }
    CopyOutcome outcome;
    try {
        CommandConnection targetConnection(QStringLiteral("target"));
        std::unique_ptr<RowTarget> target = openTarget(targetConnection, to);
        try {
            target->begin();
            RowDigest sent;
            CopiedRow row;
            while (rows->next(row)) {
                sent.add(row);
                target->add(row);
            }
            rows.reset();
            target->finishAdding();
            const RowDigest stored = target->readBack();
            if (stored.rows() != sent.rows() || stored.result() != sent.result())
                throw RunTimeError(err::DatabaseError,
                                   QStringLiteral("The copy differs from the catalogue it was made from (%1 rows read, "
                                                  "%2 rows written, checksums %3 and %4); nothing was copied.")
                                       .arg(sent.rows())
                                       .arg(stored.rows())
                                       .arg(QString::fromLatin1(sent.result().left(12)),
                                            QString::fromLatin1(stored.result().left(12))));
            target->commit();
            outcome.rows = sent.rows();
            outcome.checksum = sent.result();
        } catch (...) {
            target->rollback();
            throw;
        }
    } catch (...) {
        if (madeTarget)
            QFile::remove(to.filePath());
        throw;
    }
    return outcome;
}

} // namespace pixdock::catalogue
