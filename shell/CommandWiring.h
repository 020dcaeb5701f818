// Connects the main window's and the control panel's commands to the viewing and catalogue
// libraries that carry them out.
#pragma once

namespace pixdock {

// Installs the command handlers of frmMain and frmOptions; start-up calls it once.
void installCommandHandlers();

} // namespace pixdock
