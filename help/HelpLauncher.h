// Opens Pixdock's manual: at its contents, or at its keyword index with an empty filter.
// Both raise the program's run-time error when the help files are missing or unreadable.
#pragma once

class QWidget;

namespace pixdock::help {

void showHelpContents();
void showHelpIndex();

// The open help window, or nullptr. There is one at a time; it belongs to the main window.
QWidget *helpWindow();

} // namespace pixdock::help
