// What the catalogue's reliability tests share: file digests, a catalogue filled through the
// real store, running a helper as an ordinary user, and counts taken from the environment for
// the long runs.
#pragma once

#include "OrdinaryUser.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pixdock::test {

// The SHA-256 of a file's bytes, or "missing".
QByteArray sha256Of(const QString &path);

// Appends `rows` writer rows (long descriptions, so the file has many pages) to the catalogue
// at `path` through the store, on a connection of its own that is closed afterwards.
void fillCatalogue(const QString &path, int rows);

// A count from the environment (the long runs set them), or `fallback`.
int countFromEnvironment(const char *name, int fallback);

// Runs the catalogue probe on a program folder as `user`; returns its output.
QString runProbeAs(const OrdinaryUser &user, const QString &programFolder, const QString &scenario);

} // namespace pixdock::test
