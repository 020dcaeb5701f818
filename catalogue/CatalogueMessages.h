// What the catalogue's failures say, in plain words, whatever the engine: the descriptions
// inside the windows' messages ("Error No 5 / ... has occured.", "The catalogue list could not
// be loaded." ...). Engines choose among them by what went wrong.
#pragma once

#include <QString>

namespace pixdock::catalogue::message {

// Another program holds the catalogue for writing (or a lock that keeps readers out).
inline const QString Locked = QStringLiteral("The catalogue is locked by another program.");
// Another program is reading the catalogue, and a change must wait until it has finished.
inline const QString Busy =
    QStringLiteral("The catalogue is busy: another program is reading it. Try again in a moment.");
// The file Pixdock opened is no longer at the catalogue's path, and nothing usable is there now.
inline const QString Moved = QStringLiteral("The catalogue file was moved or deleted while Pixdock was running.");
inline const QString ReadOnlyFile = QStringLiteral("The catalogue cannot be changed: the file is read-only.");
inline const QString ReadOnlyFolder = QStringLiteral("The catalogue cannot be changed: its folder is read-only.");
inline const QString ReadFailed = QStringLiteral("The catalogue file could not be read or written.");
inline const QString Damaged = QStringLiteral("The catalogue file is damaged.");
inline const QString DiskFull = QStringLiteral("The catalogue cannot grow: the disk is full.");
inline const QString CannotOpen = QStringLiteral("The catalogue file could not be opened.");
inline const QString NotADatabase = QStringLiteral("The catalogue file is not a database.");
inline const QString OutOfMemory = QStringLiteral("There was not enough memory to work on the catalogue.");
inline const QString TooLong = QStringLiteral("The text is too long for the catalogue.");
inline const QString NoAccess = QStringLiteral("The catalogue refused access.");
inline const QString LayoutChanged =
    QStringLiteral("Another program changed the layout of the catalogue meanwhile. Try again.");
// %1: the rule the change broke, as the engine names it.
inline const QString Refused = QStringLiteral("The catalogue refused the change: it breaks a rule of table Info (%1).");
// %1: the engine's own words.
inline const QString Unknown = QStringLiteral("The catalogue reported an error it does not explain (%1).");

} // namespace pixdock::catalogue::message
