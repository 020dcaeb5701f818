// The etched separator of the about box: a grey line with a white line one pixel below and
// one pixel to the right, giving the look of a groove.
#pragma once

#include <QWidget>

namespace pixdock::about {

class EtchedLine : public QWidget
{
    Q_OBJECT
public:
    // The grey line runs from (x1, y) to (x2, y) in twips; the white line from
    // (x1 + 15, y + 15) to (x2, y + 15).
    EtchedLine(int x1, int x2, int y, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace pixdock::about
