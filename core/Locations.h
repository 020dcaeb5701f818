// Where the program finds its files. Installed under a prefix, everything is found relative to
// the executable's folder (../share/pixdock, ../lib/pixdock/modules, ../etc/pixdock, or
// /etc/pixdock for the prefix /usr); run from its build tree, beside the executable. No path of the machine
// that built the program is compiled in. Tests point the locations at temporary folders.
#pragma once

#include <QString>

namespace pixdock::locations {

// The folder the program's own files are found from: the executable's folder. Tests, whose
// executables sit one level below the program's, set the build tree.
QString executableFolder();
void setExecutableFolder(const QString &folder); // empty restores the executable's folder

// The folder that holds db.fil when the catalogue is kept beside the program: the executable's
// folder unless a test sets another.
QString programFolder();
void setProgramFolder(const QString &folder); // empty restores the executable's folder

// The installation prefix (the executable folder's parent) when the program runs installed,
// that is when <prefix>/share/pixdock exists beside its bin folder; empty when it runs from its
// build tree.
QString installedPrefix();

// Where the catalogue is, and the schema to make it from when it is missing.
struct CatalogueLocation
{
    QString path;
    // Set for an installed program's own catalogue: the installed schema. Empty when the
    // program never makes the catalogue (build tree, or a catalogue the user chose).
    QString schemaFile;
};

// The environment variable that names the catalogue file, overriding every other rule.
inline constexpr char CatalogueVariable[] = "PIXDOCK_CATALOGUE";

// The catalogue's location: PIXDOCK_CATALOGUE when set; from the build tree, db.fil beside
// the executable; installed, db.fil beside the executable when it is there or the user can
// write that folder (never under /usr), else $XDG_DATA_HOME/Pixdock/db.fil.
CatalogueLocation catalogueLocation();
QString cataloguePath(); // catalogueLocation().path

QString registryFile();
void setRegistryFile(const QString &path); // empty restores the built-in location

// The help collection (.qhc); empty when a test asks for a build without help.
QString helpCollectionFile();
void setHelpCollectionFile(const QString &path);
void restoreHelpCollectionFile();

// The folder that holds the browser module: lib/pixdock/modules installed, else the executable's.
QString browserModuleFolder();

} // namespace pixdock::locations
