// Reading a catalogue address. Server URIs are split the way libpq splits them (user and
// password before '@', hosts with optional ports separated by commas, IPv6 hosts in brackets,
// the database after '/', parameters after '?'), each part percent-decoded.
#include "CatalogueAddress.h"

#include "RunTimeError.h"

#include <QByteArray>
#include <QStringList>

#include <cctype>

namespace pixdock {

namespace {

const QLatin1String Prefixes[] = {QLatin1String("postgresql://"), QLatin1String("postgres://")};

// Parameters whose value is a secret: kept for the connection, never shown.
bool isSecret(const QString &key)
{
    return key == QLatin1String("password") || key == QLatin1String("sslpassword");
}

qsizetype prefixLength(const QString &text)
{
    for (const QLatin1String &prefix : Prefixes) {
        if (text.startsWith(prefix))
            return prefix.size();
    }
    return 0;
}

RunTimeError malformed(const QString &text, const QString &why)
{
    return RunTimeError(err::DatabaseError,
                        QStringLiteral("The catalogue address %1 is not a valid PostgreSQL connection URI: %2.")
                            .arg(CatalogueAddress::shown(text), why));
}

// libpq's percent-decoding: %XX with two hex digits, never %00; the bytes are UTF-8.
QString decoded(const QString &text, const QString &part)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) != '%') {
            out += bytes.at(i);
            continue;
        }
        const bool twoDigits = i + 2 < bytes.size() && isxdigit(static_cast<unsigned char>(bytes.at(i + 1)))
                               && isxdigit(static_cast<unsigned char>(bytes.at(i + 2)));
        if (!twoDigits)
            throw RunTimeError(err::DatabaseError, QStringLiteral("the %1 holds a % that is not followed by two hex digits").arg(part));
        const int value = bytes.mid(i + 1, 2).toInt(nullptr, 16);
        if (value == 0)
            throw RunTimeError(err::DatabaseError, QStringLiteral("the %1 holds %00").arg(part));
        out += char(value);
        i += 2;
    }
    return QString::fromUtf8(out);
}

// The index of the first of `stops` in text from `from` on, or text.size().
qsizetype findAny(const QString &text, qsizetype from, QLatin1String stops)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (stops.contains(text.at(i)))
            return i;
    }
    return text.size();
}

// libpq's connection-string quoting: the value in single quotes, ' and \ escaped.
QString quotedValue(const QString &value)
{
    QString out = QStringLiteral("'");
    for (const QChar c : value) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('\'');
}

} // namespace

bool CatalogueAddress::namesServer(const QString &text) { return prefixLength(text) > 0; }

QString CatalogueAddress::shown(const QString &text)
{
    const qsizetype start = prefixLength(text);
    if (start == 0)
        return text;
    QString out = text;
    // The user part ends at the first '@' before any '/'; a password follows its first ':'.
    const qsizetype end = findAny(out, start, QLatin1String("@/"));
    if (end < out.size() && out.at(end) == QLatin1Char('@')) {
        const qsizetype colon = out.indexOf(QLatin1Char(':'), start);
        if (colon >= 0 && colon < end)
            out.remove(colon, end - colon);
    }
    const qsizetype query = out.indexOf(QLatin1Char('?'), start);
    if (query < 0)
        return out;
    QStringList kept;
    const QStringList parameters = out.mid(query + 1).split(QLatin1Char('&'));
    for (const QString &parameter : parameters) {
        const QString key = parameter.section(QLatin1Char('='), 0, 0);
        QString plainKey;
        try {
            plainKey = decoded(key, QStringLiteral("parameter name"));
        } catch (const RunTimeError &) {
            plainKey = key;
        }
        if (!isSecret(plainKey))
            kept << parameter;
    }
    out.truncate(query);
    return kept.isEmpty() ? out : out + QLatin1Char('?') + kept.join(QLatin1Char('&'));
}

CatalogueAddress CatalogueAddress::fromText(const QString &text)
{
    CatalogueAddress address;
    address.m_shown = shown(text);
    const qsizetype start = prefixLength(text);
    if (start == 0) {
        address.m_filePath = text;
        return address;
    }
    address.m_server = true;
    try {
        qsizetype p = start;
        const qsizetype userEnd = findAny(text, start, QLatin1String("@/"));
        if (userEnd < text.size() && text.at(userEnd) == QLatin1Char('@')) {
            const QString userPart = text.mid(start, userEnd - start);
            const qsizetype colon = userPart.indexOf(QLatin1Char(':'));
            address.m_user = decoded(userPart.left(colon), QStringLiteral("user name"));
            if (colon >= 0)
                address.m_password = decoded(userPart.mid(colon + 1), QStringLiteral("password"));
            p = userEnd + 1;
        }

        // Hosts, each with an optional port, separated by commas.
        QStringList hosts;
        QStringList ports;
        bool anyPort = false;
        QChar stop;
        for (;;) {
            QString host;
            if (p < text.size() && text.at(p) == QLatin1Char('[')) {
                const qsizetype close = text.indexOf(QLatin1Char(']'), p);
                if (close < 0)
                    throw RunTimeError(err::DatabaseError, QStringLiteral("an IPv6 host has no closing ]"));
                if (close == p + 1)
                    throw RunTimeError(err::DatabaseError, QStringLiteral("an IPv6 host is empty"));
                host = text.mid(p + 1, close - p - 1);
                p = close + 1;
                if (p < text.size() && !QLatin1String(":/?,").contains(text.at(p)))
                    throw RunTimeError(err::DatabaseError,
                                       QStringLiteral("an IPv6 host is followed by \"%1\"").arg(text.at(p)));
            } else {
                const qsizetype hostEnd = findAny(text, p, QLatin1String(":/?,"));
                host = text.mid(p, hostEnd - p);
                p = hostEnd;
            }
            QString port;
            if (p < text.size() && text.at(p) == QLatin1Char(':')) {
                const qsizetype portEnd = findAny(text, p + 1, QLatin1String("/?,"));
                port = text.mid(p + 1, portEnd - p - 1);
                anyPort = true;
                p = portEnd;
            }
            hosts << host;
            ports << port;
            stop = p < text.size() ? text.at(p) : QChar();
            if (stop != QLatin1Char(','))
                break;
            ++p;
        }
        address.m_host = decoded(hosts.join(QLatin1Char(',')), QStringLiteral("host"));
        if (anyPort)
            address.m_port = decoded(ports.join(QLatin1Char(',')), QStringLiteral("port"));

        if (stop == QLatin1Char('/')) {
            const qsizetype databaseEnd = findAny(text, p + 1, QLatin1String("?"));
            address.m_database = decoded(text.mid(p + 1, databaseEnd - p - 1), QStringLiteral("database name"));
            p = databaseEnd;
        }
        if (p < text.size()) { // at '?'
            const QStringList parameters = text.mid(p + 1).split(QLatin1Char('&'));
            for (const QString &parameter : parameters) {
                const QStringList keyValue = parameter.split(QLatin1Char('='));
                if (keyValue.size() != 2)
                    throw RunTimeError(err::DatabaseError,
                                       QStringLiteral("the parameter \"%1\" is not one name=value pair")
                                           .arg(keyValue.size() < 2 ? parameter : keyValue.first()));
                QString key = decoded(keyValue.at(0), QStringLiteral("parameter name"));
                QString value = decoded(keyValue.at(1), QStringLiteral("value of %1").arg(key));
                if (key == QLatin1String("ssl") && value == QLatin1String("true")) {
                    key = QStringLiteral("sslmode");
                    value = QStringLiteral("require");
                }
                // As in libpq, a parameter overrides the part of the URI that names the same.
                if (key == QLatin1String("host"))
                    address.m_host = value;
                else if (key == QLatin1String("port"))
                    address.m_port = value;
                else if (key == QLatin1String("dbname"))
                    address.m_database = value;
                else if (key == QLatin1String("user"))
                    address.m_user = value;
                else if (key == QLatin1String("password"))
                    address.m_password = value;
                else
                    address.m_parameters.append({key, value});
            }
        }
        // The driver passes its options on with every ';' turned into a blank.
        for (const auto &[key, value] : std::as_const(address.m_parameters)) {
            if (key.contains(QLatin1Char(';')) || value.contains(QLatin1Char(';')) || key.contains(QLatin1Char(' ')))
                throw RunTimeError(err::DatabaseError,
                                   QStringLiteral("the parameter \"%1\" holds a character the driver cannot pass on")
                                       .arg(isSecret(key) ? key : key + QLatin1Char('=') + value));
        }
        if (address.m_port.contains(QLatin1Char(';')))
            throw RunTimeError(err::DatabaseError, QStringLiteral("the port holds a ;"));
    } catch (const RunTimeError &e) {
        throw malformed(text, e.description());
    }
    return address;
}

QString CatalogueAddress::place() const
{
    if (!m_server)
        return m_filePath;
    const QString database = m_database.isEmpty() ? QStringLiteral("the default database")
                                                  : QStringLiteral("database %1").arg(m_database);
    QString host = m_host.isEmpty() ? QStringLiteral("the default server") : m_host;
    if (!m_port.isEmpty() && !m_host.contains(QLatin1Char(',')))
        host += QLatin1Char(':') + m_port;
    return QStringLiteral("%1 on %2").arg(database, host);
}

QString CatalogueAddress::driverOptions() const
{
    QStringList options;
    if (!m_port.isEmpty())
        options << QStringLiteral("port=") + quotedValue(m_port);
    for (const auto &[key, value] : m_parameters)
        options << key + QLatin1Char('=') + quotedValue(value);
    return options.join(QLatin1Char(';'));
}

} // namespace pixdock
