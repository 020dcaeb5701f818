// How windows reach the main frame and the control panel without linking to them.
#pragma once

#include <QString>

class QMdiArea;

namespace pixdock {

class CommonDialog;

// The first status-bar panel's text until a viewer has loaded a picture.
inline const QString NoImageLoaded = QStringLiteral("No Image Loaded");

// Arrangements of the frame's child windows.
enum class Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

class Frame
{
public:
    virtual ~Frame() = default;
    // The first status-bar panel: the path of the picture the last viewer loaded.
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    // Where child windows live; nullptr makes them top-level windows.
    virtual QMdiArea *childArea() = 0;
    virtual void arrange(Arrangement how) = 0;
    // The frame's shared file-open and print dialog.
    virtual CommonDialog &commonDialog() = 0;
    virtual int widthTwips() const = 0;
};

class Panel
{
public:
    virtual ~Panel() = default;
    virtual int widthTwips() const = 0;
    virtual int heightTwips() const = 0;
    // cmdThumbnails, cmdViewPrevList and cmdViewNextList: shown while a list or results are up.
    virtual void setCatalogueButtonsVisible(bool visible) = 0;
    virtual bool catalogueButtonsVisible() const = 0;
};

Frame *frame();
void setFrame(Frame *frame);
Panel *panel();
void setPanel(Panel *panel);

// Status text and panel size with safe answers while no frame or panel is there.
QString frameStatusText();
void setFrameStatusText(const QString &text);
int panelWidthTwips();
int panelHeightTwips();
void setPanelCatalogueButtonsVisible(bool visible);

} // namespace pixdock
