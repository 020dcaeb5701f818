// The file-open dialog over QFileDialog, taking a typed path as the one file it names.
#pragma once

#include <QFileDialog>
#include <QPointer>

class QLineEdit;

namespace pixdock {

// Qt's own dialog reads double quotes in the file name box as a list of names ("a" "b"), so a
// single typed path holding a quote would never open. This one takes a typed text that names an
// existing file as that file, whatever characters it holds; everything else is Qt's.
class OpenFileDialog : public QFileDialog
{
public:
    // Starts in `folder` when it is a folder, else in the home folder, with the file name box
    // empty (Qt would type the last part of a missing folder's path into it).
    OpenFileDialog(QWidget *owner, const QString &title, const QString &folder);

    // The file chosen, once the dialog has been accepted.
    QString chosenFile() const;

protected:
    void accept() override;

private:
    QString typedFile() const;
    void allowTypedFile();

    QPointer<QLineEdit> m_fileNameBox;
    QString m_typedFile;
};

} // namespace pixdock
