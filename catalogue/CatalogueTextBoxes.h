// Text boxes that take input: light yellow with the whole text selected while they have the
// focus, white when they lose it.
#pragma once

#include <QColor>

class QLineEdit;

namespace pixdock::catalogue {

// &H0080FFFF while focused, &H00FFFFFF otherwise.
inline const QColor FocusedBoxColour(255, 255, 128);
inline const QColor UnfocusedBoxColour(255, 255, 255);

// Makes the box follow the focus colours from now on; it starts white.
void followFocusColours(QLineEdit *box);

} // namespace pixdock::catalogue
