// The catalogue store: opening db.fil, the statements the windows send, the full-path rule.
#pragma once

#include <QString>

namespace pixdock::catalogue {

// Opens the shared catalogue connection (gConnection) on db.fil in the program folder.
// Raises the program's run-time error when the file is missing or not a catalogue.
void OpenConnection();

} // namespace pixdock::catalogue
