// Dragging column headers.
#include "CatalogueGridHeader.h"

#include "Twips.h"

#include <QMouseEvent>
#include <QStyle>

#include <cstdlib>

namespace pixdock::catalogue {

namespace {
// A drag starts once the mouse has moved this far (across plus down) from the press.
constexpr int DragStartTwips = 50;
} // namespace

CatalogueGridHeader::CatalogueGridHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
}

bool CatalogueGridHeader::onSectionEdge(int x) const
{
    const int logical = logicalIndexAt(x);
    if (logical < 0)
        return false;
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int left = sectionViewportPosition(logical);
    return x < left + grip || x > left + sectionSize(logical) - grip;
}

void CatalogueGridHeader::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    m_dragged = -1;
    m_armed = m_movable && event->button() == Qt::LeftButton && logicalIndexAt(at) >= 0 && !onSectionEdge(at.x());
    m_pressAt = at;
    QHeaderView::mousePressEvent(event);
}

void CatalogueGridHeader::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_armed && m_dragged < 0 && (event->buttons() & Qt::LeftButton)) {
        const QPoint moved = at - m_pressAt;
        // The column dragged is the one pressed on, however fast the mouse has left it.
        if (twips::fromPixels(std::abs(moved.x()) + std::abs(moved.y())) >= DragStartTwips
            && rect().contains(at) && logicalIndexAt(at) >= 0) {
            m_dragged = logicalIndexAt(m_pressAt);
            setCursor(Qt::DragMoveCursor);
        }
    }
    // While a column is dragged the header neither selects nor resizes.
    if (m_dragged < 0)
        QHeaderView::mouseMoveEvent(event);
}

void CatalogueGridHeader::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_dragged >= 0 && rect().contains(at)) {
        const int target = visualIndexAt(at.x());
        const int from = visualIndex(m_dragged);
        if (target >= 0 && target != from)
            moveSection(from, target);
    }
    const bool dragged = m_dragged >= 0;
    endDrag();
    if (!dragged)
        QHeaderView::mouseReleaseEvent(event);
}

void CatalogueGridHeader::endDrag()
{
    m_armed = false;
    m_dragged = -1;
    unsetCursor();
}

} // namespace pixdock::catalogue
