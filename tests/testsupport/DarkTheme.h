// A dark desktop theme, as a palette: light text on dark backgrounds.
#pragma once

#include <QColor>
#include <QPalette>

namespace pixdock::test {

inline QPalette darkTheme(QPalette palette)
{
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase})
        palette.setColor(role, QColor(35, 35, 40));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, QColor(230, 230, 230));
    palette.setColor(QPalette::Link, QColor(120, 170, 255));
    return palette;
}

} // namespace pixdock::test
