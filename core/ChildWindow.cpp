// Child windows: load, show, unload and outer geometry in twips.
#include "ChildWindow.h"

#include "Frame.h"
#include "RunTimeError.h"
#include "TextFit.h"
#include "Twips.h"
#include "WindowList.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace pixdock {

ChildWindow::ChildWindow(QWidget *parent)
    : QWidget(parent)
{
}

ChildWindow::~ChildWindow()
{
    WindowList::instance().leave(this);
}

void ChildWindow::load()
{
    if (m_loaded)
        return;
    if (Frame *f = frame(); f && f->childArea()) {
        QMdiSubWindow *sub = f->childArea()->addSubWindow(this);
        sub->setAttribute(Qt::WA_DeleteOnClose);
    }
    WindowList::instance().enter(this);
    m_loaded = true;
    try {
        Form_Load();
        fitTexts(this);
        // Enter and keypad Enter press the push button that has the focus, as Space does.
        for (QPushButton *button : findChildren<QPushButton *>())
            button->setAutoDefault(true);
    } catch (...) {
        m_unloaded = true;
        leaveList();
        if (QMdiSubWindow *sub = subWindow())
            sub->deleteLater();
        throw;
    }
}

void ChildWindow::showWindow()
{
    outer()->show();
    if (QMdiSubWindow *sub = subWindow(); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
}

void ChildWindow::bringToFront()
{
    outer()->raise();
    if (QMdiSubWindow *sub = subWindow(); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
}

void ChildWindow::unload()
{
    if (m_unloaded)
        return;
    if (QMdiSubWindow *sub = subWindow())
        sub->close();
    else
        close();
    // A window that was never shown does not always see its close event; unload it anyway.
    if (!m_unloaded) {
        m_unloaded = true;
        endAtFirstFailure([this] { Form_Unload(); });
        leaveList();
        if (QMdiSubWindow *sub = subWindow())
            sub->deleteLater();
        else
            deleteLater();
    }
}

void ChildWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        endAtFirstFailure([this] { Form_Unload(); });
        leaveList();
        if (!subWindow())
            deleteLater();
    }
    event->accept();
}

void ChildWindow::leaveList()
{
    WindowList::instance().leave(this);
}

QMdiSubWindow *ChildWindow::subWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

QWidget *ChildWindow::outer() const
{
    if (QMdiSubWindow *sub = subWindow())
        return sub;
    return const_cast<ChildWindow *>(this);
}

QSize ChildWindow::frameExtra() const
{
    QMdiSubWindow *sub = subWindow();
    if (!sub)
        return {0, 0};
    // The sub-window keeps its border and title bar as its own contents margins.
    QMargins m = sub->contentsMargins();
    if (sub->layout())
        m += sub->layout()->contentsMargins();
    return {m.left() + m.right(), m.top() + m.bottom()};
}

int ChildWindow::leftTwips() const { return twips::fromPixels(outer()->x()); }
int ChildWindow::topTwips() const { return twips::fromPixels(outer()->y()); }
int ChildWindow::widthTwips() const { return twips::fromPixels(outer()->width()); }
int ChildWindow::heightTwips() const { return twips::fromPixels(outer()->height()); }

void ChildWindow::setLeftTwips(int left) { outer()->move(twips::toPixels(left), outer()->y()); }
void ChildWindow::setTopTwips(int top) { outer()->move(outer()->x(), twips::toPixels(top)); }

void ChildWindow::setWidthTwips(int width)
{
    outer()->resize(std::max(0, twips::toPixels(width)), outer()->height());
}

void ChildWindow::setHeightTwips(int height)
{
    outer()->resize(outer()->width(), std::max(0, twips::toPixels(height)));
}

int ChildWindow::clientWidthTwips() const { return twips::fromPixels(width()); }
int ChildWindow::clientHeightTwips() const { return twips::fromPixels(height()); }

void ChildWindow::setClientSizeTwips(int width, int height)
{
    const QSize inner = twips::sizeToPixels(width, height);
    resize(inner);
    if (QMdiSubWindow *sub = subWindow())
        sub->resize(inner + frameExtra());
}

} // namespace pixdock
