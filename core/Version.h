// The program's own version, set once in the build.
#pragma once

#include <QString>

namespace pixdock {

int versionMajor();
int versionMinor();
int versionRevision();
// "Version 1.0.0": the text the splash and the about box show.
QString versionLabelText();
QString versionLabelText(int major, int minor, int revision);

} // namespace pixdock
