// Focus colours and whole-text selection of input boxes.
#include "CatalogueTextBoxes.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPalette>
#include <QTimer>

namespace pixdock::catalogue {

namespace {

void paintBox(QLineEdit *box, const QColor &colour)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
}

class FocusColours : public QObject
{
public:
    explicit FocusColours(QLineEdit *box)
        : QObject(box)
        , m_box(box)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_box && event->type() == QEvent::FocusIn) {
            paintBox(m_box, FocusedBoxColour);
            m_box->selectAll();
            // A click that gave the focus would place the cursor right after; select again
            // once the click has been handled.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, m_box, [box = m_box] {
                    if (box->hasFocus())
                        box->selectAll();
                });
        } else if (watched == m_box && event->type() == QEvent::FocusOut) {
            paintBox(m_box, UnfocusedBoxColour);
        }
        return false;
    }

private:
    QLineEdit *m_box;
};

} // namespace

void followFocusColours(QLineEdit *box)
{
    paintBox(box, UnfocusedBoxColour);
    box->installEventFilter(new FocusColours(box));
}

} // namespace pixdock::catalogue
