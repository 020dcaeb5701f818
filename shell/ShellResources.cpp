// Registers the shell's resource file: a static library's resources need an explicit start.
#include "ShellResources.h"


static void initShellResourceFile() { Q_INIT_RESOURCE(shell_icons); }

namespace pixdock {

void initShellResources()
{
    static const bool done = [] {
        initShellResourceFile();
        return true;
    }();
    Q_UNUSED(done);
}

QIcon programIcon()
{
    initShellResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/pixdock-32.png"));
    icon.addFile(QStringLiteral(":/icons/pixdock-64.png"));
    return icon;
}

QIcon toolbarIcon(const QString &key)
{
    initShellResources();
    return QIcon(QStringLiteral(":/icons/%1.png").arg(key.toLower()));
}

} // namespace pixdock
