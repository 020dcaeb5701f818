// Loading the browser module on first use and opening browser windows through its entry.
#include "BrowserModule.h"

#include "Locations.h"
#include "MessageBox.h"

#include <QDir>
#include <QHash>
#include <QLibrary>

namespace pixdock::browser_module {

namespace {

using OpenEntry = QWidget *(*)();

// The module's entry, by the module's path; the library stays loaded for the program's life.
OpenEntry entryIn(const QString &folder)
{
    static QHash<QString, OpenEntry> loaded;
    const QString path = QDir(folder.isEmpty() ? locations::browserModuleFolder() : folder)
                             .absoluteFilePath(fileName());
    if (const auto found = loaded.constFind(path); found != loaded.cend())
        return *found;

    // Every symbol is bound now, so a module that does not fit this program fails here, with
    // the loader's reason, rather than at some later call.
    QLibrary library(path);
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    OpenEntry entry = nullptr;
    if (library.load()) {
        entry = reinterpret_cast<OpenEntry>(library.resolve("pixdock_open_browser_window"));
        if (!entry)
            library.unload();
    }
    if (!entry) {
        MessageBox::show(QStringLiteral("The web browser is not available: %1").arg(library.errorString()),
                         QMessageBox::Ok, MessageBox::Icon::Critical);
        return nullptr;
    }
    loaded.insert(path, entry);
    return entry;
}

} // namespace

QString fileName()
{
    return QStringLiteral("libpixdock_browser.so");
}

QWidget *openBrowserWindow(const QString &folder)
{
    const OpenEntry open = entryIn(folder);
    return open ? open() : nullptr;
}

} // namespace pixdock::browser_module
