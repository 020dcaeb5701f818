// The browser toolbar's image list: one drawn icon per button key.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace pixdock::browser {

// The button keys in toolbar order; each is also the button's tooltip.
QStringList toolbarKeys();
// The icon stored under a key ("Back", "Forward", "Stop", "Refresh", "Home", "Search");
// a null icon for any other key.
QIcon toolbarIcon(const QString &key);

} // namespace pixdock::browser
