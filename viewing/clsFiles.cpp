// clsFiles over the file-system service.
#include "clsFiles.h"

#include "FileService.h"
#include "RunTimeError.h"

#include <QDir>

namespace pixdock {

using namespace viewing;

namespace {
// A move keeps retrying while the target exists; a target that keeps coming back (another
// program recreating it) must not hold the program for ever.
constexpr int MaxMoveAttempts = 100;

bool hasWildcards(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}
} // namespace

void clsFiles::Delete(const QString &sFilename)
{
    if (fs::listedAsNormalFile(sFilename))
        fs::deleteFile(sFilename);
}

QVariant clsFiles::ShowFileType(const QString &sFile) const { return fs::extensionName(sFile); }
QVariant clsFiles::GetParentDir(const QString &sFile) const { return fs::parentFolderName(sFile); }
QVariant clsFiles::GetFileName(const QString &sFile) const { return fs::fileName(sFile); }

void clsFiles::Move(const QString &sSource, const QString &sDestination, const QString &sFilename)
{
    const QString from = sSource + sFilename;
    const QString to = sDestination + sFilename;
    for (int attempt = 1;; ++attempt) {
        try {
            fs::moveFile(from, to);
            return;
        } catch (const RunTimeError &e) {
            if (e.number() != err::FileExists || attempt >= MaxMoveAttempts)
                return;
        }
        fs::deleteFile(to);
    }
}

void clsFiles::MoveAllFiles(const QString &sSource, const QString &sDestination)
{
    const QString pattern = fs::fileName(sSource);
    if (!hasWildcards(pattern)) {
        endAtFirstFailure([&] { fs::moveFile(sSource, sDestination); });
        return;
    }
    const qsizetype slash = sSource.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : sSource.left(slash + 1);
    QDir dir(folder);
    dir.setNameFilters({pattern});
    dir.setFilter(QDir::Files | QDir::CaseSensitive);
    const QStringList names = dir.entryList();
    const QString destination = sDestination.endsWith(QLatin1Char('/')) ? sDestination
                                                                        : sDestination + QLatin1Char('/');
    for (const QString &name : names)
        endAtFirstFailure([&] { fs::moveFile(fs::joinPath(folder, name), destination); });
}

void clsFiles::Copy(const QString &sSource, const QString &sDestination, const QString &sFilename)
{
    QString newName;
    Copy(sSource, sDestination, sFilename, newName);
}

void clsFiles::Copy(const QString &sSource, const QString &sDestination, const QString &sFilename,
                    QString &sNewFilename)
{
    if (sNewFilename.isEmpty())
        sNewFilename = sFilename;
    fs::copyFile(sSource + sFilename, sDestination + sNewFilename);
}

bool clsFiles::FileExists(const QString &sPath) const { return fs::fileExists(sPath); }
void clsFiles::MakeFolder(const QString &sPath) { fs::createFolder(sPath); }
bool clsFiles::FolderExists(const QString &sSource) const { return fs::folderExists(sSource); }

} // namespace pixdock
