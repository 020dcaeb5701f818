// A dark desktop theme, as a palette: light text on dark backgrounds.
#pragma once

#include <QApplication>
#include <QTest>

namespace pixdock::test {

// The rows of a test run once in the light theme and once in the dark one (column "dark").
inline void themeRows()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light theme") << false;
    QTest::newRow("dark theme") << true;
}

// The application in the dark theme (or left light) while the object lives.
class ThemeForTest
{
public:
    explicit ThemeForTest(bool dark) : m_before(QApplication::palette())
    {
        QPalette palette = m_before;
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase})
            palette.setColor(role, QColor(35, 35, 40));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, QColor(230, 230, 230));
        palette.setColor(QPalette::Link, QColor(120, 170, 255));
        if (dark)
            QApplication::setPalette(palette);
    }
    ~ThemeForTest() { QApplication::setPalette(m_before); }
    Q_DISABLE_COPY_MOVE(ThemeForTest)

private:
    const QPalette m_before;
};

} // namespace pixdock::test
