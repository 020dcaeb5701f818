// The program's command line:  pixdock [-h | --help] [-v | --version] [FILE...]
#pragma once

#include <QString>
#include <QStringList>

namespace pixdock {

struct CommandLine
{
    // True when the program is to print `text` and end with `exitStatus` at once: before the
    // splash, the windows and the catalogue.
    bool exitAtOnce = false;
    int exitStatus = 0;
    QString text;
    bool toErrorStream = false;
    // The pictures to open once the program has started, in order.
    QStringList files;
};

// Reads the arguments (the program's name first). --help prints the usage, --version the
// program's name and version; an unknown option prints what is wrong and the usage to the error
// stream with status 2. Qt's own options (-platform, -style, -session...) are let through for
// QApplication, which takes them.
CommandLine readCommandLine(const QStringList &arguments);

} // namespace pixdock
