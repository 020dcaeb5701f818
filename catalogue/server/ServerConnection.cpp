// Opening QPSQL connections from a catalogue address, and the server's failures told apart by
// their SQLSTATE, by libpq's connection status, and (for a connection refused at the start,
// where libpq gives no SQLSTATE) by asking the server with PQping whether it answers at all.
#include "ServerConnection.h"

#include <QByteArray>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <libpq-fe.h>

#include <vector>

namespace pixdock::catalogue {

namespace {

bool hasParameter(const CatalogueAddress &address, QLatin1String key)
{
    for (const auto &parameter : address.parameters()) {
        if (parameter.first == key)
            return true;
    }
    return false;
}

// The driver's options: the address's own, then the defaults it leaves open.
QString connectOptions(const CatalogueAddress &address)
{
    QStringList options;
    if (!address.driverOptions().isEmpty())
        options << address.driverOptions();
    if (!hasParameter(address, QLatin1String("connect_timeout")))
        options << QStringLiteral("connect_timeout='%1'").arg(ServerConnectTimeoutSeconds);
    if (!hasParameter(address, QLatin1String("fallback_application_name")))
        options << QStringLiteral("fallback_application_name='Pixdock'");
    return options.join(QLatin1Char(';'));
}

// Whether anything answers at the address: libpq's own test, which needs no log-in.
bool serverAnswers(const CatalogueAddress &address)
{
    std::vector<QByteArray> keys;
    std::vector<QByteArray> values;
    const auto add = [&](const char *key, const QString &value) {
        if (!value.isEmpty()) {
            keys.emplace_back(key);
            values.push_back(value.toUtf8());
        }
    };
    add("host", address.host());
    add("port", address.port());
    add("dbname", address.database());
    add("user", address.user());
    for (const auto &[key, value] : address.parameters()) {
        keys.push_back(key.toUtf8());
        values.push_back(value.toUtf8());
    }
    if (!hasParameter(address, QLatin1String("connect_timeout")))
        add("connect_timeout", QString::number(ServerConnectTimeoutSeconds));
    std::vector<const char *> keyPointers;
    std::vector<const char *> valuePointers;
    for (size_t i = 0; i < keys.size(); ++i) {
        keyPointers.push_back(keys[i].constData());
        valuePointers.push_back(values[i].constData());
    }
    keyPointers.push_back(nullptr);
    valuePointers.push_back(nullptr);
    const PGPing answer = PQpingParams(keyPointers.data(), valuePointers.data(), 0);
    return answer == PQPING_OK || answer == PQPING_REJECT;
}

// Why a connection that reached the server was refused. libpq hands on the server's words
// without a code here, so the usual English ones are recognised and anything else is passed on.
QString refusalSentence(const QString &message)
{
    const QString text = message.toLower();
    if (text.contains(QLatin1String("password")) || text.contains(QLatin1String("authentication"))
        || text.contains(QLatin1String("pg_hba.conf")) || text.contains(QLatin1String("role \"")))
        return server::Refused;
    if (text.contains(QLatin1String("database \"")) && text.contains(QLatin1String("does not exist")))
        return server::NoDatabase;
    return QStringLiteral("The catalogue server refused the connection: %1").arg(message.simplified());
}

// The driver's handle is a PGconn*, whose type name Qt gives as libpq's struct name.
bool isLibpqHandle(const QVariant &handle)
{
    return handle.isValid()
           && (qstrcmp(handle.typeName(), "pg_conn*") == 0 || qstrcmp(handle.typeName(), "PGconn*") == 0);
}

void closeAndRemove(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

} // namespace

QString serverFailureText(const QString &sentence, const CatalogueAddress &address)
{
    return QStringLiteral("%1 Catalogue: %2.").arg(sentence, address.place());
}

RunTimeError serverError(const QString &sqlState, const QString &message, const CatalogueAddress &address,
                         bool connectionLost)
{
    const auto error = [&](const QString &sentence) {
        return RunTimeError(err::DatabaseError, serverFailureText(sentence, address));
    };
    const QString cls = sqlState.left(2);
    if (connectionLost || cls == QLatin1String("08") || sqlState == QLatin1String("57P01")
        || sqlState == QLatin1String("57P02") || sqlState == QLatin1String("57P03"))
        return error(server::Lost);
    if (sqlState == QLatin1String("55P03"))
        return error(server::Locked);
    if (sqlState == QLatin1String("57014"))
        return error(server::TooSlow);
    if (sqlState == QLatin1String("42P01"))
        return error(server::NoTable);

    if (sqlState == QLatin1String("25006"))
        return error(server::ReadOnly);
    if (cls == QLatin1String("53"))
        return error(server::Full);
    if (cls == QLatin1String("28"))
        return error(server::Refused);
    if (sqlState == QLatin1String("3D000"))
        return error(server::NoDatabase);
    // The server's first line is its message; the rest (LINE 1:..., the SQLSTATE) is for experts.
    const QString firstLine = message.section(QLatin1Char('\n'), 0, 0).remove(QStringLiteral("ERROR:")).trimmed();
    if (sqlState == QLatin1String("42501"))
        return error(QStringLiteral("%1 (%2).").arg(server::NotAllowed.chopped(1), firstLine));
    return error(firstLine.isEmpty() ? QStringLiteral("The catalogue server reported an unknown error.")
                                     : QStringLiteral("The catalogue server reported an error: %1.").arg(firstLine));
}

RunTimeError serverError(const QSqlError &error, const QSqlDatabase &db, const CatalogueAddress &address)
{
    return serverError(error.nativeErrorCode(), error.databaseText(), address, serverConnectionLost(db));
}

pg_conn *serverHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.isOpen() && db.driver() ? db.driver()->handle() : QVariant();
    PGconn *h = nullptr;
    if (isLibpqHandle(handle))
        h = *static_cast<PGconn *const *>(handle.constData());
    if (!h)
        throw RunTimeError(err::DatabaseError, QStringLiteral("The catalogue is not open."));
    return h;
}

bool serverConnectionLost(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!db.isOpen() || !isLibpqHandle(handle))
        return true;
    const PGconn *h = *static_cast<PGconn *const *>(handle.constData());
    return !h || PQstatus(h) == CONNECTION_BAD;
}

void openServerConnection(const QString &connectionName, const CatalogueAddress &address, int statementTimeoutMs)
{
    closeAndRemove(connectionName);
    try {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
        if (!db.isValid())
            throw RunTimeError(err::DatabaseError,
                               QStringLiteral("The PostgreSQL driver of Qt SQL (QPSQL) is not installed."));
        db.setHostName(address.host());
        db.setDatabaseName(address.database());
        db.setUserName(address.user());
        db.setPassword(address.password());
        db.setConnectOptions(connectOptions(address));
        if (!db.open()) {
            const QString message = db.lastError().databaseText();
            throw RunTimeError(err::DatabaseError,
                               serverFailureText(serverAnswers(address) ? refusalSentence(message) : server::Unreachable,
                                                 address));
        }
        // The driver remembers the password for reopening; the connection no longer needs it.
        db.setPassword(QString());
        QSqlQuery session(db);
        // Statements are prepared once, but planned for the values of each run: a keyword's
        // pattern decides whether the trigram index or a walk along the ids is quicker.
        const QString settings = QStringLiteral("SET lock_timeout = %1; SET statement_timeout = %2; "
                                                "SET idle_in_transaction_session_timeout = %3; "
                                                "SET plan_cache_mode = force_custom_plan")
                                     .arg(ServerLockTimeoutMs)
                                     .arg(statementTimeoutMs)
                                     .arg(std::max(statementTimeoutMs, 60000));
        for (const QString &setting : settings.split(QStringLiteral("; "))) {
            if (!session.exec(setting))
                throw serverError(session.lastError(), db, address);
        }
    } catch (...) {
        closeAndRemove(connectionName);
        throw;
    }
}

} // namespace pixdock::catalogue
