// The web browser child window: toolbar, address box with the visited addresses, and a web
// view filling the rest; the caption shows "Working..." while a page loads, then its title.
#pragma once

#include "BusyState.h"
#include "ChildWindow.h"

#include <QElapsedTimer>
#include <QString>

class QAction;
class QComboBox;
class QLabel;
class QTimer;
class QToolBar;
class QUrl;
class QWebEngineView;

namespace pixdock {

class frmBrowser : public ChildWindow
{
    Q_OBJECT
public:
    frmBrowser();
    ~frmBrowser() override;

    // The address to open when the window loads; empty opens nothing. Set before load().
    QString StartingAddress;

    // Handlers, public so the toolbar, the address box and tests reach them alike.
    void cboAddress_Click();
    void tbToolBar_ButtonClick(const QString &key);

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createToolBar();
    void createAddressStrip();
    void createBrowser();
    void installThemeScript();

    void Form_Resize();
    void cboAddress_KeyPress(int keyAscii);
    void timTimer_Timer();
    void brwWebBrowser_DownloadComplete();
    void brwWebBrowser_NavigateComplete2();

    void startBusyTimer();
    void navigate(const QUrl &url);
    QString currentTitle() const;

    QToolBar *tbToolBar;
    QWidget *picAddress;
    QLabel *lblAddress;
    QComboBox *cboAddress;
    QWebEngineView *brwWebBrowser = nullptr;
    QTimer *timTimer;

    bool suppressNavigation = false;
    // While the Enter key that already navigated is passed on to the address box, the box's
    // own reaction to it must not navigate a second time.
    bool m_passingEnterOn = false;
    browser::BusyState m_busy;
    QElapsedTimer m_clock;
};

} // namespace pixdock
