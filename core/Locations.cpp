// Locations of the program's files, fixed at build time unless a test overrides them.
#include "Locations.h"

#include <QCoreApplication>
#include <QDir>

#include <optional>

namespace pixdock::locations {

namespace {
QString g_programFolder;
QString g_registryFile;
std::optional<QString> g_helpFile;
} // namespace

QString programFolder()
{
    return g_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_programFolder;
}

void setProgramFolder(const QString &folder) { g_programFolder = folder; }

QString cataloguePath() { return QDir(programFolder()).filePath(QStringLiteral("db.fil")); }

QString registryFile()
{
    return g_registryFile.isEmpty() ? QStringLiteral(PIXDOCK_REGISTRY_FILE) : g_registryFile;
}

void setRegistryFile(const QString &path) { g_registryFile = path; }

QString helpCollectionFile()
{
    return g_helpFile ? *g_helpFile : QStringLiteral(PIXDOCK_HELP_COLLECTION);
}

void setHelpCollectionFile(const QString &path) { g_helpFile = path; }
void restoreHelpCollectionFile() { g_helpFile.reset(); }

} // namespace pixdock::locations
