// Timing a user action until its result is on the screen, and what the process holds in
// memory, for the viewing and start-up figures.
#pragma once

#include <QString>

#include <functional>

namespace pixdock::bench {

// Milliseconds from the start of `action` until a picture box ("picFramed") holding a picture
// has been painted; negative when none was painted within ten seconds.
double msUntilPicturePainted(const std::function<void()> &action);

struct PaintTimes
{
    double painted = -1;  // until a picture box first painted part of a picture
    double complete = -1; // until that box held the whole picture
};
// The same, and then until the picture that was painted is whole.
PaintTimes msUntilPaintedAndWhole(const std::function<void()> &action);

// Runs the event loop for about `ms` milliseconds.
void runEventsFor(int ms);

// Megabytes resident in the mappings of shared libraries whose file name contains `name`;
// negative when no such library is mapped.
double libraryResidentMegabytes(const QString &name);

// How many child processes of this one run a program whose name begins with `name`.
int childProcessesNamed(const QString &name);

// The median of the values.
double median(QList<double> values);

} // namespace pixdock::bench
