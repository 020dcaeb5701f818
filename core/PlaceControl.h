// Creating a window's control at its designed place, given in twips.
#pragma once

#include "Twips.h"

#include <QString>
#include <QWidget>

namespace pixdock {

// Creates a T inside parent, names it (so it can be found by name) and places it.
template<class T>
T *placeControl(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *control = new T(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twips::rectToPixels(left, top, width, height));
    return control;
}

// The same for a control that shows a text (a label, button or option).
template<class T>
T *placeControl(QWidget *parent, const char *name, const QString &text, int left, int top, int width,
                int height)
{
    T *control = placeControl<T>(parent, name, left, top, width, height);
    control->setText(text);
    return control;
}

} // namespace pixdock
