// Finding texts a person could not read whole: a label, option or button whose text, measured
// in the control's own font, is wider or taller than the control.
#pragma once

#include <QStringList>

class QWidget;

namespace pixdock::test {

// "name: text" for every visible label, option, check box and push button of `window` whose
// text does not fit. A word-wrapped text must fit in its lines and its height.
QStringList cutOffTexts(QWidget *window);

} // namespace pixdock::test
