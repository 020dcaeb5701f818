// Keys, clicks and menu choices sent the way the platform delivers them.
#include "UserInput.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace pixdock::test {

// Where a key press lands now: the open popup (a menu) or QApplication::focusWidget().
static QWidget *keyboardTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

// The widget of `window` that a click at `pos` (in window's coordinates) lands on.
static QWidget *widgetUnderPointer(QWidget *window, QPoint pos)
{
    QWidget *under = window->childAt(pos);
    return under ? under : window;
}

bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = keyboardTarget();
    if (!target)
        return false;
    QTest::keyClick(target, key, modifiers);
    return true;
}

bool typeText(const QString &text)
{
    for (const QChar c : text) {
        QWidget *target = keyboardTarget();
        if (!target)
            return false;
        QTest::keyClicks(target, QString(c));
    }
    return true;
}

void clickOn(QWidget *widget, QPoint at)
{
    QWidget *top = widget->window();
    const QPoint pos = widget->mapTo(top, at == QPoint(-1, -1) ? widget->rect().center() : at);
    QWidget *under = widgetUnderPointer(top, pos);
    QTest::mouseClick(under, Qt::LeftButton, Qt::NoModifier, under->mapFrom(top, pos));
}

void dragWithMouse(QWidget *widget, QPoint from, QPoint to)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    // A hand moves the mouse a few pixels between two reports.
    const int steps = std::max(1, (to - from).manhattanLength() / 4);
    for (int i = 1; i <= steps; ++i) {
        const QPoint pos = from + (to - from) * i / steps;
        QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&move);
        qApp->notify(widget, &move);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

void turnWheel(QWidget *widget, QPoint at, QPoint angleDelta, Qt::KeyboardModifiers modifiers)
{
    QWidget *top = widget->window();
    const QPoint pos = widget->mapTo(top, at);
    QWidget *under = widgetUnderPointer(top, pos);
    const QPointF local = under->mapFrom(top, pos);
    QWheelEvent event(local, under->mapToGlobal(local), QPoint(), angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    // As from the platform: a widget that does not take the wheel passes it to its parent.
    // Delivered as QTest delivers keys: sendEvent() would mark it as the program's own.
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(under, &event);
}

bool chooseFromMenu(QMenuBar *bar, const QString &menuTitle, const QString &itemText)
{
    // Only what a person sees can be chosen.
    const auto named = [](QWidget *widget, const QString &text) -> QAction * {
        for (QAction *action : widget->actions()) {
            if (action->isVisible() && action->text().remove(QLatin1Char('&')) == text)
                return action;
        }
        return nullptr;
    };
    QAction *title = named(bar, menuTitle);
    QMenu *menu = title ? title->menu() : nullptr;
    if (!menu)
        return false;
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(title).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
        return false;
    if (QAction *item = named(menu, itemText)) {
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(item).center());
        return QTest::qWaitFor([menu] { return !menu->isVisible(); });
    }
    menu->close();
    return false;
}

} // namespace pixdock::test
