// Finding and checking the help collection, and the one help window.
#include "HelpLauncher.h"

#include "HelpWindow.h"
#include "Locations.h"
#include "ModGlobal.h"
#include "RunTimeError.h"

#include <QFileInfo>
#include <QHelpEngine>
#include <QPointer>

#include <memory>

namespace pixdock::help {

namespace {

const QString ManualNamespace = QStringLiteral("org.pixdock.manual");
const QUrl ContentsPage(QStringLiteral("qthelp://org.pixdock.manual/manual/contents.html"));

QPointer<HelpWindow> g_window;

[[noreturn]] void cannotRead(const QString &file, const QString &why)
{
    throw RunTimeError(err::PermissionDenied,
                       QStringLiteral("The help file %1 cannot be read: %2").arg(file, why));
}

// An engine on the configured collection, checked to hold a readable manual.
std::unique_ptr<QHelpEngine> openCollection()
{
    const QString file = locations::helpCollectionFile();
    if (file.isEmpty())
        throw RunTimeError(err::FileNotFound,
                           QStringLiteral("This copy of Pixdock was built without its help files."));
    const QFileInfo info(file);
    if (!info.exists())
        throw RunTimeError(err::FileNotFound,
                           QStringLiteral("The help file %1 cannot be found.").arg(file));
    if (!info.isFile() || !info.isReadable())
        cannotRead(file, QStringLiteral("it is not a readable file."));

    auto engine = std::make_unique<QHelpEngine>(info.absoluteFilePath());
    engine->setReadOnly(true);
    if (!engine->setupData())
        cannotRead(file, engine->error());
    if (!engine->registeredDocumentations().contains(ManualNamespace))
        cannotRead(file, QStringLiteral("it does not hold Pixdock's manual."));
    const QString manual = engine->documentationFileName(ManualNamespace);
    if (!QFileInfo(manual).isFile() || !QFileInfo(manual).isReadable())
        cannotRead(file, QStringLiteral("the manual %1 it names is missing.").arg(manual));
    if (engine->fileData(ContentsPage).isEmpty())
        cannotRead(file, QStringLiteral("the manual has no contents page."));
    return engine;
}

HelpWindow *window()
{
    const QString file = QFileInfo(locations::helpCollectionFile()).absoluteFilePath();
    if (g_window && g_window->collectionFile() == file)
        return g_window;
    // Checked before an older window goes, so a failure leaves things as they were.
    std::unique_ptr<QHelpEngine> engine = openCollection();
    if (g_window)
        g_window->deleteLater();
    g_window = new HelpWindow(engine.release(), ContentsPage, gMainWindow.data());
    g_window->setAttribute(Qt::WA_DeleteOnClose);
    return g_window;
}

} // namespace

void showHelpContents() { window()->showContents(); }

void showHelpIndex() { window()->showIndex(); }

QWidget *helpWindow() { return g_window; }

} // namespace pixdock::help
