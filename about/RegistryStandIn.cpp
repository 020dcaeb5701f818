// Reading the registry stand-in file.
#include "RegistryStandIn.h"

#include "RegularFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringConverter>
#include <QTextStream>

namespace pixdock::registry {

namespace {

Value parseValue(const QString &raw)
{
    static const QRegularExpression dword(QStringLiteral("^dword:([0-9a-fA-F]{1,8})$"));
    const QRegularExpressionMatch number = dword.match(raw);
    if (number.hasMatch())
        return {REG_DWORD, number.captured(1)};
    if (raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) && raw.endsWith(QLatin1Char('"')))
        return {REG_SZ, raw.mid(1, raw.size() - 2)};
    return {REG_SZ, raw};
}

} // namespace

std::optional<Value> readValue(const QString &file, const QString &keyName, const QString &valueName)
{
    QFile source;
    if (!openRegularFile(source, file, QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&source);
    in.setEncoding(QStringConverter::Utf8);
    bool inKey = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString section = line.mid(1, line.size() - 2).trimmed();
            inKey = section.compare(keyName, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inKey)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        if (line.left(equals).trimmed().compare(valueName, Qt::CaseInsensitive) == 0)
            return parseValue(line.mid(equals + 1).trimmed());
    }
    return std::nullopt;
}

} // namespace pixdock::registry
