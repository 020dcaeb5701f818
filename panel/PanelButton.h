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

    // Grows the button downwards, keeping its top, when its wrapped caption needs more lines
    // than its height holds in the button's font.
    void fitCaption();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect captionRect() const;
};

} // namespace pixdock
