// The program's shared state: the catalogue connection, the main window, the current
// picture's path and the catalogue grid row of the picture last opened from a grid.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace pixdock {

// Name of the Qt SQL connection that holds the one shared catalogue connection;
// empty until the main window's load has opened it.
extern QString gConnection;
// The main window that start-up creates, loads and shows.
extern QPointer<QWidget> gMainWindow;
// Full path of the current picture: the one the next viewer window loads.
extern QString gCurrentPath;
// Row of the catalogue grid that the current picture came from.
extern qint32 gListRow;

// Puts every shared variable back to its start value (used between tests), after running the
// callbacks given to onSharedStateReset (which stop what works on that state).
void resetSharedState();
void onSharedStateReset(std::function<void()> callback);

} // namespace pixdock
