// View > Web Browser: a new browser window on the home page each time.
#include "BrowserOpening.h"

#include "BrowserPages.h"
#include "frmBrowser.h"

namespace pixdock::browser {

QWidget *openBrowserWindow()
{
    auto *window = new frmBrowser;
    window->StartingAddress = homePageUrl().toString();
    window->load();
    window->showWindow();
    return window;
}

} // namespace pixdock::browser
