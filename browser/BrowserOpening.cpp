// Placeholder until the browser window exists.
#include "BrowserOpening.h"

namespace pixdock::browser {

QWidget *openBrowserWindow() { return nullptr; }

} // namespace pixdock::browser
