// Finding the system-information program: the two registry values, else a known program on
// the PATH.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pixdock::about {

// Reads one registry value (from the stand-in) as text; true when it was read. On failure
// `keyVal` is emptied. Number values come out as decimal text. A text value that fills the
// whole 1024-byte buffer has no room for its end mark and raises RunTimeError.
bool GetKeyValue(quint32 keyRoot, const QString &keyName, const QString &subKeyRef, QString &keyVal);

inline const QString SysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
inline const QString SysInfoValue = QStringLiteral("PATH");
inline const QString SysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
inline const QString SysInfoLocationValue = QStringLiteral("MSINFO");
// The program file the folder named by the location value must hold. On Linux programs carry
// no ".EXE" and names are case-sensitive, so it is the lower-case name without extension.
inline const QString SysInfoFileName = QStringLiteral("msinfo32");

// Programs that show system information on Linux desktops, in order of preference; the first
// one found on the PATH is used when the registry stand-in names no program.
QStringList commonSysInfoPrograms();

// The program to start: the first value's path as it stands (whether or not it exists); else
// the location value's folder when it holds the program file; else, when neither value is
// there, a common program on the PATH. Nothing when none applies.
std::optional<QString> findSysInfoProgram();

} // namespace pixdock::about
