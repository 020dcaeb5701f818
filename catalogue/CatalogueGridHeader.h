// The column headers of the catalogue list: a header dragged with the mouse and let go over
// another column's header takes that column's place, wherever on that header it is let go.
#pragma once

#include <QHeaderView>

namespace pixdock::catalogue {

class CatalogueGridHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit CatalogueGridHeader(QWidget *parent = nullptr);

    // Whether the user may move columns by dragging their headers.
    void setColumnsMovable(bool movable) { m_movable = movable; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Whether a press at x would grab the edge between two headers (to resize a column).
    bool onSectionEdge(int x) const;
    void endDrag();

    bool m_movable = false;
    bool m_armed = false;
    QPoint m_pressAt;
    int m_dragged = -1; // logical index of the column being dragged
};

} // namespace pixdock::catalogue
