// The add window "Add To Database": enters the current picture into the catalogue with a
// description, asking first when a picture of that file name is already catalogued.
#pragma once

#include "ChildWindow.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pixdock {

class RunTimeError;
class WaitCursor;

class frmAdd : public ChildWindow
{
    Q_OBJECT
public:
    frmAdd();

    // "Save".
    void cmdAdd_Click();
    // "Exit".
    void cmdExit_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool saveStep(const std::function<void()> &step, WaitCursor &wait);
    void showResult(const QString &text);

    QLabel *lblFile;
    QLineEdit *txtFilename;
    QLabel *lblLocation;
    QLineEdit *txtLocation;
    QLabel *lblDescription;
    QLineEdit *txtDescription;
    QLabel *lblMessage;
    QPushButton *cmdAdd;
    QPushButton *cmdExit;
    bool m_saving = false;
};

} // namespace pixdock
