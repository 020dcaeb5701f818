// The main window's remembered position and size: the four values in the per-user settings
// store (twips, as decimal text) and keeping a restored window on a screen.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QVariant>

class QSettings;

namespace pixdock::placement {

// Outer geometry of the main window in twips.
struct MainPlacement
{
    int left = 1000;
    int top = 1000;
    int width = 6500;
    int height = 6500;

    friend bool operator==(const MainPlacement &, const MainPlacement &) = default;
};

inline const QString KeyLeft = QStringLiteral("MainLeft");
inline const QString KeyTop = QStringLiteral("MainTop");
inline const QString KeyWidth = QStringLiteral("MainWidth");
inline const QString KeyHeight = QStringLiteral("MainHeight");

// The settings store the main window uses: application "Pixdock", group "Settings".
// Callers construct QSettings(organisation(), application()) and open group().
QString organisation();
QString application();
QString group();

// A stored value as twips: the decimal text rounded to whole twips. Anything that is not a
// finite number of sensible size (and, for sizes, not above zero) gives `fallback`.
int coordinate(const QVariant &stored, int fallback);
int extent(const QVariant &stored, int fallback);

// Reads the four values from `settings` (already in the group); absent or unusable values
// take their defaults.
MainPlacement read(const QSettings &settings);
// Writes the four values as decimal text.
void write(QSettings &settings, const MainPlacement &placement);

// One screen: all of it, and the part windows may take (without panels and docks).
struct ScreenArea
{
    QRect geometry;
    QRect available;
};

// Where a restored window of outer geometry `outer` goes. Its screen is the one its top left
// corner is on, else the one it covers most;
// a window lying wholly outside every screen goes to the default position on the primary
// screen's available area. It is then made no larger than its screen's available area (size
// first), and moved inside that area, so that its title bar can always be reached. Values
// beyond the screen are hand edits, not a size anyone had on screen.
QRect fitOnScreen(const QRect &outer, const QList<ScreenArea> &screens, const QRect &primaryAvailable);

} // namespace pixdock::placement
