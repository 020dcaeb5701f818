// Controls laid out in twips for another platform's fonts: a label, option or button whose
// text does not fit grows until it does, keeping its left and top edges.
#pragma once

#include <QString>

class QAbstractButton;
class QFontMetrics;
class QLabel;
class QWidget;

namespace pixdock {

// A control's text as it shows: "&Close" shows "Close", "&&" one ampersand.
QString shownText(QString text);
// The width of the text's widest word in that font: a wrapped text needs at least as much.
int widestWord(const QFontMetrics &fm, const QString &text);

// One line grows wider. A word-wrapped label grows wider to its longest word (no further than
// its parent's right edge), then taller to hold its lines.
void fitText(QLabel *label);
// An option or check box grows to its indicator and text; a push button to its caption.
void fitText(QAbstractButton *button);
// Every label, option, check box and push button of `window`.
void fitTexts(QWidget *window);

} // namespace pixdock
