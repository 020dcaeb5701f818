// What the catalogue's reliability tests share: a catalogue filled through the real store, and
// running a helper as an ordinary user.
#pragma once

#include "OrdinaryUser.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pixdock::test {

// Appends `rows` writer rows (long descriptions, so the file has many pages) to the catalogue
// at `path` through the store, on a connection of its own that is closed afterwards.
void fillCatalogue(const QString &path, int rows);

// Runs the catalogue probe on a program folder as `user`; returns its output.
QString runProbeAs(const OrdinaryUser &user, const QString &programFolder, const QString &scenario);

} // namespace pixdock::test
