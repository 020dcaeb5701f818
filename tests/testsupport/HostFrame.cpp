// The test host frame and panel.
#include "HostFrame.h"

#include "ModGlobal.h"
#include "Twips.h"
#include "WindowList.h"

#include <QMdiArea>
#include <QTest>

namespace pixdock::test {

HostPanel::HostPanel()
{
    setWindowTitle(QStringLiteral("Options"));
    for (int i = 0; const char *name : {"cmdViewNextList", "cmdViewPrevList", "cmdThumbnails"}) {
        m_buttons[i] = new QPushButton(this);
        m_buttons[i]->setObjectName(QLatin1String(name));
        m_buttons[i++]->hide();
    }
}

void HostPanel::Form_Load()
{
    setClientSizeTwips(1295, 8685);
    setLeftTwips(0);
    setTopTwips(0);
    setWidthTwips(1295);
}

HostFrame::HostFrame()
    : m_area(new QMdiArea(this))
{
    setWindowTitle(QStringLiteral("Pixdock"));
    setCentralWidget(m_area);
    setGeometry(twips::rectToPixels(1000, 1000, 12000, 9000));
    WindowList::instance().enter(this);
    gMainWindow = this;
    setFrame(this);
    show();
    // Keys go to the focus widget of the active window, as they do for a person.
    activateWindow();
    if (!QTest::qWaitForWindowActive(this))
        qWarning("HostFrame: the frame did not become the active window; keys may go astray");
    setPanel(m_panel = new HostPanel);
    m_panel->load();
    m_panel->showWindow();
}

HostFrame::~HostFrame()
{
    if (pixdock::panel() == m_panel)
        setPanel(nullptr);
    if (pixdock::frame() == this)
        setFrame(nullptr);
    WindowList::instance().leave(this);
}

int HostFrame::widthTwips() const { return twips::fromPixels(frameGeometry().width()); }

} // namespace pixdock::test
