// Where the program finds its files: its own folder (the catalogue db.fil), the registry
// stand-in and the help collection. Tests point them at temporary folders.
#pragma once

#include <QString>

namespace pixdock::locations {

QString programFolder();
void setProgramFolder(const QString &folder); // empty restores the executable's folder
QString cataloguePath();                      // programFolder()/db.fil

QString registryFile();
void setRegistryFile(const QString &path); // empty restores the built-in location

// The help collection (.qhc); empty when the build configured no help.
QString helpCollectionFile();
void setHelpCollectionFile(const QString &path);
void restoreHelpCollectionFile();

} // namespace pixdock::locations
