// Clipboard text commands on the focused text field.
#include "EditCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace pixdock::edit {

namespace {
// The three kinds of field the commands work on, seen through one small interface.
class TextField
{
public:
    explicit TextField(QWidget *focused) { find(focused); }

    bool exists() const { return m_line || m_cursorOwner; }
    bool readOnly() const
    {
        if (m_line)
            return m_line->isReadOnly();
        if (auto *text = qobject_cast<QTextEdit *>(m_cursorOwner))
            return text->isReadOnly();
        if (auto *plain = qobject_cast<QPlainTextEdit *>(m_cursorOwner))
            return plain->isReadOnly();
        return true;
    }
    bool hasSelection() const { return m_line ? m_line->hasSelectedText() : cursor().hasSelection(); }
    QString selectedText() const
    {
        return m_line ? m_line->selectedText() : cursor().selection().toPlainText();
    }
    // Replaces the selection, or inserts at the caret when there is none.
    void replaceSelection(const QString &text)
    {
        if (m_line) {
            m_line->insert(text);
            return;
        }
        QTextCursor c = cursor();
        c.removeSelectedText();
        c.insertText(text);
        setCursor(c);
    }

private:
    void find(QWidget *w)
    {
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            m_line = combo->isEditable() ? combo->lineEdit() : nullptr;
            return;
        }
        m_line = qobject_cast<QLineEdit *>(w);
        if (m_line)
            return;
        // The focus may rest on a text editor's viewport rather than the editor itself.
        for (QWidget *candidate : {w, w ? w->parentWidget() : nullptr}) {
            if (qobject_cast<QTextEdit *>(candidate) || qobject_cast<QPlainTextEdit *>(candidate)) {
                m_cursorOwner = candidate;
                return;
            }
        }
    }
    QTextCursor cursor() const
    {
        if (auto *text = qobject_cast<QTextEdit *>(m_cursorOwner))
            return text->textCursor();
        return qobject_cast<QPlainTextEdit *>(m_cursorOwner)->textCursor();
    }
    void setCursor(const QTextCursor &c)
    {
        if (auto *text = qobject_cast<QTextEdit *>(m_cursorOwner))
            text->setTextCursor(c);
        else
            qobject_cast<QPlainTextEdit *>(m_cursorOwner)->setTextCursor(c);
    }

    QLineEdit *m_line = nullptr;
    QWidget *m_cursorOwner = nullptr;
};
} // namespace

void copySelection(QWidget *focused)
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    const TextField field(focused);
    if (!field.exists() || !field.hasSelection())
        return;
    clipboard->setText(field.selectedText());
}

void cutSelection(QWidget *focused)
{
    copySelection(focused);
    TextField field(focused);
    if (field.exists() && !field.readOnly() && field.hasSelection())
        field.replaceSelection(QString());
}

void pasteText(QWidget *focused)
{
    TextField field(focused);
    if (!field.exists() || field.readOnly())
        return;
    const QClipboard *clipboard = QApplication::clipboard();
    field.replaceSelection(clipboard ? clipboard->text() : QString());
}

} // namespace pixdock::edit
