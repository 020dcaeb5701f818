// Loading the browser module on first use and opening browser windows through its entry.
#include "BrowserModule.h"

#include "Locations.h"
#include "MessageBox.h"

#include <QDir>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QHash>
#include <QLibrary>
#include <QtConcurrent>

#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pixdock::browser_module {

namespace {

using OpenEntry = QWidget *(*)();

// Reads the web engine's mapped libraries into the disk cache, so that their code, run for the
// first time when the window is made, is not read from disk page by page on the interface thread.
void readWebEngineLibraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *) {
            if (!info->dlpi_name || !std::strstr(info->dlpi_name, "WebEngine"))
                return 0;
            const int fd = ::open(info->dlpi_name, O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                return 0;
            struct stat st {};
            if (::fstat(fd, &st) == 0)
                ::readahead(fd, 0, size_t(st.st_size));
            ::close(fd);
            return 0;
        },
        nullptr);
}

// Loading maps the web engine's libraries, which on a cold disk cache means reading them from
// disk for a good part of a second: it runs on a worker while the interface thread goes on
// drawing (input waits, so the command cannot be asked for again meanwhile).
bool loadWithInterfaceLive(QLibrary &library)
{
    QFutureWatcher<bool> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<bool>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&library] {
        if (!library.load())
            return false;
        readWebEngineLibraries();
        return true;
    }));
    if (!watcher.isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return watcher.result();
}

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
    if (loadWithInterfaceLive(library)) {
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
