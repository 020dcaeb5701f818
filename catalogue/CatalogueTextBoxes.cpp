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

// Opening a menu takes the focus from the box for a moment and gives it back; that is no new
// visit to the box. Its selection stays what it was, so that Edit > Cut, Copy and Paste work
// on what the user had selected when the menu opened.
bool menuFocus(const QEvent *event)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
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
        if (watched != m_box)
            return false;
        if (event->type() == QEvent::FocusIn) {
            paintBox(m_box, FocusedBoxColour);
            if (menuFocus(event)) {
                restoreSelection();
                return false;
            }
            m_box->selectAll();
            // A click that gave the focus would place the cursor right after; select again
            // once the click has been handled.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, m_box, [box = m_box] {
                    if (box->hasFocus())
                        box->selectAll();
                });
        } else if (event->type() == QEvent::FocusOut) {
            if (menuFocus(event)) {
                saveSelection();
                return false;
            }
            paintBox(m_box, UnfocusedBoxColour);
        }
        return false;
    }

private:
    void saveSelection()
    {
        m_caret = m_box->cursorPosition();
        m_anchor = m_box->hasSelectedText()
            ? (m_caret == m_box->selectionStart() ? m_box->selectionEnd() : m_box->selectionStart())
            : m_caret;
    }

    // The menu bar's keyboard mode takes the focus for real, and the box drops its selection.
    void restoreSelection()
    {
        if (m_caret < 0)
            return;
        const int length = m_box->text().size();
        if (m_anchor <= length && m_caret <= length) {
            if (m_anchor == m_caret)
                m_box->setCursorPosition(m_caret);
            else
                m_box->setSelection(m_anchor, m_caret - m_anchor);
        }
        m_caret = m_anchor = -1;
    }

    QLineEdit *m_box;
    int m_caret = -1;
    int m_anchor = -1;
};

} // namespace

void followFocusColours(QLineEdit *box)
{
    paintBox(box, UnfocusedBoxColour);
    box->installEventFilter(new FocusColours(box));
}

} // namespace pixdock::catalogue
