// Running the command line's catalogue commands (--create-catalogue, --copy-catalogue) in place
// of the program's windows: no display is needed, what happened goes to the standard output,
// what went wrong to the error stream with exit status 1. Passwords in URIs are never printed.
#pragma once

#include "CommandLine.h"

#include <QString>

namespace pixdock {

struct CatalogueCommandOutcome
{
    int exitStatus = 0;
    QString text;
    bool toErrorStream = false;
};

// Runs the command the line holds (a QCoreApplication must exist).
CatalogueCommandOutcome runCatalogueCommand(const CommandLine &line);

} // namespace pixdock
