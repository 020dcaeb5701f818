// The about box: product name, version, credits, and a button that starts the system's
// information program.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace pixdock {

namespace about {
class EtchedLine;
}

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *owner = nullptr);
    ~frmAbout() override;

    // Enters the open-window list and fills the labels.
    void load();
    // Finds and starts the system-information program, or says it is unavailable.
    void StartSysInfo();

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void unload();
    void Form_Load();
    void Form_Unload();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    about::EtchedLine *Line1;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;
    QPushButton *cmdSysInfo;
    bool m_loaded = false;
};

} // namespace pixdock
