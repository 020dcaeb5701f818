// Placeholder until the manual is built: every request fails with a clear description.
#include "HelpLauncher.h"

#include "RunTimeError.h"

namespace pixdock::help {

void showHelpContents()
{
    throw RunTimeError(err::FileNotFound, QStringLiteral("The help files are not installed."));
}

void showHelpIndex() { showHelpContents(); }

} // namespace pixdock::help
