// The web browser window lives in a module of its own, libpixdock_browser.so (beside the program
// in the build tree, in lib/pixdock/modules when installed), loaded the first time a browser
// window is asked for and kept loaded from then on, so the web engine's libraries are not
// mapped until then.
#pragma once

#include <QString>

class QWidget;

namespace pixdock::browser_module {

// The module's file name in its folder.
QString fileName();

// Opens a new browser window on the home page, loading the module from `folder` (its installed
// or build-tree folder when empty) if it is not loaded yet. When the module cannot be loaded,
// or lacks its entry, says so in a message and returns nullptr; nothing else happens.
QWidget *openBrowserWindow(const QString &folder = QString());

} // namespace pixdock::browser_module
