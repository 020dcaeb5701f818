// Input the way a person gives it: keys go where the keyboard sends them (an open menu, else
// the widget with the focus), clicks and wheel turns to the widget under the pointer.
#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QMenuBar;
class QWidget;

namespace pixdock::test {

// Presses and releases a key where a key press lands now (the open popup, a menu, or
// QApplication::focusWidget()); fails the test (returns false) when no widget would get it.
bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types the text there, a character at a time.
bool typeText(const QString &text);

// Clicks with the left button at `at` in `widget` (its centre when not given), on whatever
// lies there.
void clickOn(QWidget *widget, QPoint at = QPoint(-1, -1));

// Presses the left button at `from` on `widget`, moves the mouse in a few steps to `to` and
// releases it there. The widget pressed on keeps the mouse until the release, as on a real
// screen, so `to` (in its coordinates) may lie outside it.
void dragWithMouse(QWidget *widget, QPoint from, QPoint to);

// Turns the mouse wheel by `angleDelta` (120 a notch; x sideways) with the pointer at `at` in
// `widget`, on whatever lies there.
void turnWheel(QWidget *widget, QPoint at, QPoint angleDelta, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Opens the menu bar's menu of that title with the mouse, as a person does, and chooses the
// item with that text; the menu closes before the item's command runs, as the menu bar does it.
bool chooseFromMenu(QMenuBar *bar, const QString &menuTitle, const QString &itemText);

} // namespace pixdock::test
