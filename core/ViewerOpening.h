// Opening a picture in a viewer window. The viewing library provides the functions at
// start-up, so that the catalogue windows can open pictures without linking to it.
#pragma once

#include <functional>

class QWidget;

namespace pixdock::viewers {

// Creates a new viewer window that loads gCurrentPath, shows it and, when asked, brings it
// to the front. Returns the window, or nullptr when no opener is installed.
QWidget *openNewViewer(bool bringToFront = false);
// Closes the shared viewer if it is open, then creates, loads and shows it afresh.
QWidget *openSharedViewer();

void setOpeners(std::function<QWidget *(bool)> newViewer, std::function<QWidget *()> sharedViewer);

} // namespace pixdock::viewers
