// What a drop on the main frame brings: picture files to open, or nothing it takes.
#pragma once

#include <QStringList>

class QMimeData;

namespace pixdock {

// The local picture files that `data` carries, in order, when it carries files and each is a
// picture (told by its content, not its name); otherwise an empty list, and the drop is refused.
QStringList picturesDropped(const QMimeData *data);

} // namespace pixdock
