// The frame and panel currently serving the program.
#include "Frame.h"

namespace pixdock {

namespace {
Frame *g_frame = nullptr;
Panel *g_panel = nullptr;
} // namespace

Frame *frame() { return g_frame; }
void setFrame(Frame *f) { g_frame = f; }
Panel *panel() { return g_panel; }
void setPanel(Panel *p) { g_panel = p; }

QString frameStatusText() { return g_frame ? g_frame->statusText() : QString(); }

void setFrameStatusText(const QString &text)
{
    if (g_frame)
        g_frame->setStatusText(text);
}

int panelWidthTwips() { return g_panel ? g_panel->widthTwips() : 0; }
int panelHeightTwips() { return g_panel ? g_panel->heightTwips() : 0; }

void setPanelCatalogueButtonsVisible(bool visible)
{
    if (g_panel)
        g_panel->setCatalogueButtonsVisible(visible);
}

} // namespace pixdock
