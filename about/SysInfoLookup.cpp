// The registry values and the PATH search behind the about box's System Info button.
#include "SysInfoLookup.h"

#include "Locations.h"
#include "RegistryStandIn.h"
#include "RunTimeError.h"

#include <QDir>
#include <QStandardPaths>

namespace pixdock::about {

namespace {
constexpr int BufferSize = 1024;
} // namespace

bool GetKeyValue(quint32 keyRoot, const QString &keyName, const QString &subKeyRef, QString &keyVal)
{
    // The stand-in holds local-machine values only, and is only ever read.
    const std::optional<registry::Value> value =
        keyRoot == registry::HKEY_LOCAL_MACHINE
            ? registry::readValue(locations::registryFile(), keyName, subKeyRef)
            : std::nullopt;
    if (!value) {
        keyVal.clear();
        return false;
    }
    const qsizetype bytes = value->text.toLocal8Bit().size();
    if (bytes > BufferSize) {
        keyVal.clear();
        return false;
    }
    if (bytes == BufferSize)
        throw RunTimeError(err::InvalidCall, QStringLiteral("Invalid procedure call or argument"));
    const QString text = value->text.left(value->text.indexOf(QChar(0)));
    if (value->type == registry::REG_SZ)
        keyVal = text;
    else if (value->type == registry::REG_DWORD)
        keyVal = QString::number(text.toUInt(nullptr, 16));
    return true;
}

QStringList commonSysInfoPrograms()
{
    return {QStringLiteral("hardinfo2"),          QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"),        QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager"),
            QStringLiteral("lshw-gtk")};
}

std::optional<QString> findSysInfoProgram()
{
    QString path;
    if (GetKeyValue(registry::HKEY_LOCAL_MACHINE, SysInfoKey, SysInfoValue, path))
        return path;

    QString folder;
    if (GetKeyValue(registry::HKEY_LOCAL_MACHINE, SysInfoLocationKey, SysInfoLocationValue, folder)) {
        // An empty folder would mean the current directory; it names no folder at all.
        if (folder.isEmpty())
            return std::nullopt;
        const QDir dir(folder);
        if (dir.entryList({SysInfoFileName}, QDir::Files).contains(SysInfoFileName))
            return dir.filePath(SysInfoFileName);
        return std::nullopt;
    }

    for (const QString &name : commonSysInfoPrograms()) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return std::nullopt;
}

} // namespace pixdock::about
