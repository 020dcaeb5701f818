// A push button whose caption wraps onto several lines when the button is too narrow for it,
// as the control panel's tall, narrow buttons need.
#pragma once

#include <QPushButton>

namespace pixdock {

class PanelButton : public QPushButton
{
    Q_OBJECT
public:
    PanelButton(const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace pixdock
