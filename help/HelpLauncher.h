// Opens Pixdock's manual: at its contents, or at its keyword index with an empty filter.
// Both raise the program's run-time error when the help files are missing or unreadable.
#pragma once

namespace pixdock::help {

void showHelpContents();
void showHelpIndex();

} // namespace pixdock::help
