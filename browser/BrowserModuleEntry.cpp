// The browser module's entry. The program loads this library (libpixdock_browser.so beside it)
// the first time View > Web Browser is chosen, so the web engine's libraries are mapped only
// from then on. The module brings the browser window and the web engine; the program's core
// (open-window list, child windows, messages) comes from the program itself.
#include "BrowserOpening.h"

#include <QtGlobal>

// A new browser window on the home page, loaded and shown; the program looks this up by name.
extern "C" Q_DECL_EXPORT QWidget *pixdock_open_browser_window()
{
    return pixdock::browser::openBrowserWindow();
}
