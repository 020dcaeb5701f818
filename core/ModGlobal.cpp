// Storage of the shared state.
#include "ModGlobal.h"

#include <vector>

namespace pixdock {

QString gConnection;
QPointer<QWidget> gMainWindow;
QString gCurrentPath;
qint32 gListRow = 0;

namespace {
std::vector<std::function<void()>> &resetCallbacks()
{
    static std::vector<std::function<void()>> callbacks;
    return callbacks;
}
} // namespace

void onSharedStateReset(std::function<void()> callback) { resetCallbacks().push_back(std::move(callback)); }

void resetSharedState()
{
    for (const auto &callback : resetCallbacks())
        callback();
    gConnection.clear();
    gMainWindow.clear();
    gCurrentPath.clear();
    gListRow = 0;
}

} // namespace pixdock
