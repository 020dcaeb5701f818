// Base of every child window of the frame: loading into the frame's child area and the
// open-window list, unloading, and the outer geometry in twips.
#pragma once

#include <QWidget>

class QMdiSubWindow;

namespace pixdock {

class ChildWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ChildWindow(QWidget *parent = nullptr);
    ~ChildWindow() override;

    // Puts the window into the frame and the open-window list, then runs Form_Load.
    // A failure of the load is passed on and the window is not kept.
    void load();
    bool isLoaded() const { return m_loaded; }
    // Shows the window, not modal.
    void showWindow();
    void bringToFront();
    // Closes the window: Form_Unload runs, it leaves the open-window list, and it is destroyed soon after.
    void unload();

    QMdiSubWindow *subWindow() const;

    // Outer geometry in twips, relative to the frame's work area.
    int leftTwips() const;
    int topTwips() const;
    int widthTwips() const;
    int heightTwips() const;
    void setLeftTwips(int left);
    void setTopTwips(int top);
    void setWidthTwips(int width);
    void setHeightTwips(int height);
    // Inner (client) size in twips.
    int clientWidthTwips() const;
    int clientHeightTwips() const;
    void setClientSizeTwips(int width, int height);

protected:
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *outer() const;
    QSize frameExtra() const;
    void leaveList();

    bool m_loaded = false;
    bool m_unloaded = false;
};

} // namespace pixdock
