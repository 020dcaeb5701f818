// Mapping errno values to the program's file errors.
#include "FileErrors.h"

#include <cerrno>

namespace pixdock::viewing {

namespace {
QString textOf(int number)
{
    switch (number) {
    case err::InvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case fileerr::BadFileName: return QStringLiteral("Bad file name or number");
    case err::FileNotFound: return QStringLiteral("File not found");
    case fileerr::DeviceIO: return QStringLiteral("Device I/O error");
    case err::FileExists: return QStringLiteral("File already exists");
    case fileerr::DiskFull: return QStringLiteral("Disk full");
    case err::PermissionDenied: return QStringLiteral("Permission denied");
    case err::PathNotFound: return QStringLiteral("Path not found");
    default: break;
    }
    return QStringLiteral("Path/File access error");
}
} // namespace

RunTimeError fileError(int number)
{
    return RunTimeError(number, textOf(number));
}

RunTimeError errnoError(int errnoValue)
{
    int number = fileerr::AccessError;
    switch (errnoValue) {
    case ENOENT: number = err::FileNotFound; break;
    case ENOTDIR: number = err::PathNotFound; break;
    case EEXIST:
    case ENOTEMPTY: number = err::FileExists; break;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: number = err::PermissionDenied; break;
    case ENOSPC:
    case EDQUOT: number = fileerr::DiskFull; break;
    case EIO: number = fileerr::DeviceIO; break;
    case ENAMETOOLONG:
    case EILSEQ: number = fileerr::BadFileName; break;
    default: break;
    }
    return fileError(number);
}

} // namespace pixdock::viewing

namespace pixdock::viewing {

QString systemReason(const QString &text)
{
    if (text.isEmpty())
        return text;
    // "Permission denied" reads "permission denied" inside a sentence; "I/O" keeps its capitals.
    return text.at(0).toLower() + text.mid(1);
}

bool isUnreadableError(const RunTimeError &error)
{
    switch (error.number()) {
    case err::PermissionDenied:
    case fileerr::DeviceIO:
    case fileerr::AccessError:
        // The program's own texts start with a capital; a system's reason is made lower case.
        return !error.description().isEmpty() && error.description().at(0).isLower();
    default:
        return false;
    }
}

RunTimeError unreadableError(int errnoValue)
{
    return RunTimeError(errnoError(errnoValue).number(), systemReason(qt_error_string(errnoValue)));
}

} // namespace pixdock::viewing
