// Keys, clicks and menu choices sent the way the platform delivers them.
#include "UserInput.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent> // and QWheelEvent
#include <QTest>

namespace pixdock::test {

// Where a key press lands now: the open popup (a menu) or QApplication::focusWidget().
static QWidget *keyboardTarget()
{
    QWidget *popup = QApplication::activePopupWidget();
    return !popup ? QApplication::focusWidget() : popup->focusWidget() ? popup->focusWidget() : popup;
}

// The widget that the pointer at `at` in `widget` is over, whatever widget that is, and the
// point in its coordinates.
static std::pair<QWidget *, QPoint> underPointer(QWidget *widget, QPoint at)
{
    QWidget *top = widget->window();
    const QPoint pos = widget->mapTo(top, at);
    QWidget *under = top->childAt(pos) ? top->childAt(pos) : top;
    return {under, under->mapFrom(top, pos)};
}

// Delivered as QTest delivers keys, as from the platform: sendEvent() would mark it as the
// program's own, and a widget that does not take the event would not pass it to its parent.
static void deliverAsFromThePlatform(QWidget *to, QEvent *event)
{
    QSpontaneKeyEvent::setSpontaneous(event);
    qApp->notify(to, event);
}

bool pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = keyboardTarget();
    if (target)
        QTest::keyClick(target, key, modifiers);
    return target;
}

bool typeText(const QString &text)
{
    for (const QChar c : text) {
        if (!keyboardTarget())
            return false;
        QTest::keyClicks(keyboardTarget(), QString(c));
    }
    return true;
}

void clickOn(QWidget *widget, QPoint at)
{
    const auto [under, local] = underPointer(widget, at == QPoint(-1, -1) ? widget->rect().center() : at);
    QTest::mouseClick(under, Qt::LeftButton, Qt::NoModifier, local);
}

void dragWithMouse(QWidget *widget, QPoint from, QPoint to)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    // A hand moves the mouse a few pixels between two reports.
    const int steps = std::max(1, (to - from).manhattanLength() / 4);
    for (int i = 1; i <= steps; ++i) {
        const QPoint pos = from + (to - from) * i / steps;
        QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        deliverAsFromThePlatform(widget, &move);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

void turnWheel(QWidget *widget, QPoint at, QPoint angleDelta, Qt::KeyboardModifiers modifiers)
{
    const auto [under, local] = underPointer(widget, at);
    QWheelEvent event(local, under->mapToGlobal(local), QPoint(), angleDelta, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    deliverAsFromThePlatform(under, &event);
}

bool chooseFromMenu(QMenuBar *bar, const QString &menuTitle, const QString &itemText)
{
    // Only what a person sees can be chosen.
    const auto named = [](QWidget *widget, const QString &text) -> QAction * {
        const QList<QAction *> actions = widget->actions();
        const auto it = std::ranges::find_if(actions, [&](QAction *a) { return a->isVisible() && a->text().remove(u'&') == text; });
        return it != actions.end() ? *it : nullptr;
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
