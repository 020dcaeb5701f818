// Opening a new browser window on Pixdock's home page (View > Web Browser).
#pragma once

class QWidget;

namespace pixdock::browser {

// Creates a new browser window, sets its starting address to the home page, loads and shows it.
QWidget *openBrowserWindow();

} // namespace pixdock::browser
