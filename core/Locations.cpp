// Locations of the program's files, found from the executable's folder unless a test sets them.
#include "Locations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

#include <unistd.h>

namespace pixdock::locations {

namespace {
QString g_executableFolder;
QString g_programFolder;
QString g_registryFile;
std::optional<QString> g_helpFile;

const QString CatalogueName = QStringLiteral("db.fil");

// The prefix's own path below it, or (run from the build tree) the executable folder's.
QString installedOr(const QString &belowPrefix, const QString &inBuildTree)
{
    const QString prefix = installedPrefix();
    return prefix.isEmpty() ? QDir(executableFolder()).filePath(inBuildTree) : prefix + belowPrefix;
}

// Whether the user may make files in `folder`. Folders under /usr belong to the package
// manager: even an administrator's catalogue does not go there.
bool userMayWrite(const QString &folder)
{
    const QString absolute = QDir(folder).absolutePath();
    if (absolute == QLatin1String("/usr") || absolute.startsWith(QLatin1String("/usr/")))
        return false;
    return ::access(QFile::encodeName(absolute).constData(), W_OK) == 0;
}
} // namespace

QString executableFolder()
{
    return g_executableFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_executableFolder;
}

void setExecutableFolder(const QString &folder) { g_executableFolder = folder; }

QString programFolder() { return g_programFolder.isEmpty() ? executableFolder() : g_programFolder; }

void setProgramFolder(const QString &folder) { g_programFolder = folder; }

QString installedPrefix()
{
    const QDir bin(executableFolder());
    const QString prefix = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("..")));
    return QFileInfo(prefix + QStringLiteral("/share/pixdock")).isDir() ? prefix : QString();
}

CatalogueLocation catalogueLocation()
{
    const QString chosen = qEnvironmentVariable(CatalogueVariable);
    if (!chosen.isEmpty())
        return {chosen, {}};
    const QString beside = QDir(programFolder()).filePath(CatalogueName);
    const QString prefix = installedPrefix();
    if (prefix.isEmpty())
        return {beside, {}};
    const QString schema = prefix + QStringLiteral("/share/pixdock/schema.sql");
    if (QFileInfo::exists(beside) || userMayWrite(programFolder()))
        return {beside, schema};
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return {userData + QStringLiteral("/Pixdock/") + CatalogueName, schema};
}

QString cataloguePath() { return catalogueLocation().path; }

QString registryFile()
{
    if (!g_registryFile.isEmpty())
        return g_registryFile;
    // A system installation keeps its configuration in /etc, not /usr/etc.
    if (installedPrefix() == QLatin1String("/usr"))
        return QStringLiteral("/etc/pixdock/registry.ini");
    return installedOr(QStringLiteral("/etc/pixdock/registry.ini"), QStringLiteral("registry.ini"));
}

void setRegistryFile(const QString &path) { g_registryFile = path; }

QString helpCollectionFile()
{
    if (g_helpFile)
        return *g_helpFile;
    return installedOr(QStringLiteral("/share/pixdock/help/pixdock.qhc"), QStringLiteral("help/pixdock.qhc"));
}

void setHelpCollectionFile(const QString &path) { g_helpFile = path; }
void restoreHelpCollectionFile() { g_helpFile.reset(); }

QString browserModuleFolder()
{
    const QString prefix = installedPrefix();
    return prefix.isEmpty() ? executableFolder() : prefix + QStringLiteral("/lib/pixdock/modules");
}

} // namespace pixdock::locations
