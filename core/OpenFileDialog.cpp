// The file-open dialog and the typed path it takes as it stands.
#include "OpenFileDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace pixdock {

namespace {
QString existingFolderOrHome(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}
} // namespace

OpenFileDialog::OpenFileDialog(QWidget *owner, const QString &title, const QString &folder)
    : QFileDialog(owner, title, existingFolderOrHome(folder))
{
    setFileMode(QFileDialog::ExistingFile);
    // Present only in Qt's own dialog; a platform's native dialog reads names its own way.
    m_fileNameBox = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (m_fileNameBox)
        connect(m_fileNameBox, &QLineEdit::textChanged, this, &OpenFileDialog::allowTypedFile);
}

QString OpenFileDialog::chosenFile() const
{
    return m_typedFile.isEmpty() ? selectedFiles().value(0) : m_typedFile;
}

// The existing file that the file name box names when Qt would misread it (it holds a quote).
QString OpenFileDialog::typedFile() const
{
    if (!m_fileNameBox)
        return {};
    QString text = m_fileNameBox->text();
    if (!text.contains(QLatin1Char('"')))
        return {};
    if (text.startsWith(QLatin1String("~/")))
        text = QDir::homePath() + text.mid(1);
    const QFileInfo file(directory().absoluteFilePath(text));
    return file.isFile() ? file.absoluteFilePath() : QString();
}

// Runs after Qt's own check of the box, which refuses such a name.
void OpenFileDialog::allowTypedFile()
{
    if (typedFile().isEmpty())
        return;
    if (auto *buttons = findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))) {
        if (QPushButton *open = buttons->button(QDialogButtonBox::Open))
            open->setEnabled(true);
    }
}

void OpenFileDialog::accept()
{
    m_typedFile = typedFile();
    if (!m_typedFile.isEmpty()) {
        QDialog::accept();
        return;
    }
    QFileDialog::accept();
}

} // namespace pixdock
