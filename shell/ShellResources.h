// The shell's pictures (program icon, toolbar icons, splash logo), compiled into the library.
#pragma once

#include <QIcon>
#include <QString>

namespace pixdock {

// Makes the pictures available under ":/icons/"; safe to call more than once.
void initShellResources();
QIcon programIcon();
// A toolbar button's icon, by the button's key ("Open", "Back"...).
QIcon toolbarIcon(const QString &key);

} // namespace pixdock
