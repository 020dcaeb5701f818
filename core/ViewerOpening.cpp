// The installed viewer openers.
#include "ViewerOpening.h"

namespace pixdock::viewers {

namespace {
std::function<QWidget *(bool)> g_newViewer;
std::function<QWidget *()> g_sharedViewer;
} // namespace

QWidget *openNewViewer(bool bringToFront)
{
    return g_newViewer ? g_newViewer(bringToFront) : nullptr;
}

QWidget *openSharedViewer() { return g_sharedViewer ? g_sharedViewer() : nullptr; }

void setOpeners(std::function<QWidget *(bool)> newViewer, std::function<QWidget *()> sharedViewer)
{
    g_newViewer = std::move(newViewer);
    g_sharedViewer = std::move(sharedViewer);
}

} // namespace pixdock::viewers
