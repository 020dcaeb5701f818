// The version comes from the build (PIXDOCK_VERSION_* definitions set from the project version).
#include "Version.h"

namespace pixdock {

int versionMajor() { return PIXDOCK_VERSION_MAJOR; }
int versionMinor() { return PIXDOCK_VERSION_MINOR; }
int versionRevision() { return PIXDOCK_VERSION_PATCH; }

QString versionLabelText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString versionLabelText()
{
    return versionLabelText(versionMajor(), versionMinor(), versionRevision());
}

} // namespace pixdock
