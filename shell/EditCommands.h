// Edit > Cut, Copy and Paste: plain text between the clipboard and the text field that has
// the keyboard focus (a line edit, the editable part of a combo box, or a text editor).
#pragma once

class QWidget;

namespace pixdock::edit {

// Clears the clipboard, then puts the field's selected text on it. With no text field
// (a button has the focus, say) the clipboard stays empty.
void copySelection(QWidget *focused);
// Copies, then removes the selection from the field (unless the field is read-only).
void cutSelection(QWidget *focused);
// Replaces the field's selection (or inserts at the caret) with the clipboard's plain text;
// an empty clipboard deletes the selection. A read-only field is left alone.
void pasteText(QWidget *focused);

} // namespace pixdock::edit
