// The removal window "Delete Images": removes every catalogue row of the current picture's
// file name and folder, after a confirmation. The picture file stays on disk.
#pragma once

#include "ChildWindow.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pixdock {

class frmDelete : public ChildWindow
{
    Q_OBJECT
public:
    frmDelete();

    // "Delete".
    void cmdContinue_Click();
    // "Exit".
    void cmdExit_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    QGroupBox *frameOptions;
    QRadioButton *optDatabase;
    QRadioButton *optImage;
    QRadioButton *optBoth;
    QLabel *lblMessage;
    QPushButton *cmdContinue;
    QPushButton *cmdExit;
    bool m_removing = false;
};

} // namespace pixdock
