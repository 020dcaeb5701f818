// Storage of the shared state.
#include "ModGlobal.h"

namespace pixdock {

QString gConnection;
QPointer<QWidget> gMainWindow;
QString gCurrentPath;
qint32 gListRow = 0;

void resetSharedState()
{
    gConnection.clear();
    gMainWindow.clear();
    gCurrentPath.clear();
    gListRow = 0;
}

} // namespace pixdock
