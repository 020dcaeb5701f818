// The read-only stand-in for the two system registry values the about box reads.
//
// It is a small text file (locations::registryFile()) in INI layout. Each section names a key
// under HKEY_LOCAL_MACHINE exactly as the registry writes it, backslashes and spaces included,
// and each line inside a section is one value:
//
//   ; comment
//   [SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH=/usr/bin/hardinfo
//
//   [SOFTWARE\Microsoft\Shared Tools Location]
//   MSINFO=/opt/sysinfo
//
// The file is read by hand, not through QSettings, so the backslashes stay plain text and
// are never taken for sub-key separators or escapes. Key paths and value names compare
// without regard to letter case, as in the registry. A value is text (type 1) unless written
// "dword:" and eight hexadecimal digits (type 4, as in .reg files); surrounding double quotes
// are taken off a text value. When a name occurs twice, the first one counts.
#pragma once

#include <QString>

#include <optional>

namespace pixdock::registry {

inline constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr int REG_SZ = 1;
inline constexpr int REG_DWORD = 4;

struct Value
{
    int type = REG_SZ;
    QString text; // the text, or for a number its eight hexadecimal digits
};

// Reads one value from the stand-in file; nothing when the file cannot be read or holds no
// such key or value.
std::optional<Value> readValue(const QString &file, const QString &keyName,
                               const QString &valueName);

} // namespace pixdock::registry
