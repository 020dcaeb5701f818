// Open, Properties and Print.
#include "FileCommands.h"

#include "CommonDialog.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "PictureBox.h"
#include "PictureDecode.h"
#include "PictureLoader.h"
#include "RunTimeError.h"
#include "WindowList.h"
#include "frmViewer.h"

#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QFileInfo>
#include <QImageReader>
#include <QPointer>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QStandardPaths>

#include <memory>

namespace pixdock::viewing {

namespace {
constexpr int TwipsPerInch = 1440;
constexpr int PrintFlags = 0x108; // return a device context, no page-range choice

void prepareOpenDialog(CommonDialog &dialog)
{
    dialog.CancelError = true;
    dialog.InitDir = openStartingFolder();
    dialog.FileName.clear();
    dialog.Filter = graphicsFilter();
    dialog.FilterIndex = 1;
}

void openChosenPicture(CommonDialog &dialog)
{
    dialog.ShowOpen();
    gCurrentPath = dialog.FileName;
    closeLoneViewer();
    frmViewer::openNew();
}

// The picture of a window that has a picFramed, or an error when there is none to print.
QPixmap pictureOf(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window))
        window = sub->widget();
    const QPointer<viewing::PictureBox> picture =
        window ? window->findChild<viewing::PictureBox *>(QStringLiteral("picFramed")) : nullptr;
    // A picture still being decoded is waited for (the window stays live meanwhile, and may
    // even be closed): the whole of it is printed.
    if (picture)
        picture->waitForPicture();
    if (!picture || picture->picture().isNull())
        throw RunTimeError(err::InvalidPicture, QStringLiteral("Invalid picture"));
    return QPixmap::fromImage(picture->picture());
}
} // namespace

namespace {
// The size of the picture open on `fd`, decoded whole on a worker while the window stays live.
QSize decodedSize(int fd)
{
    QSize size;
    QEventLoop loop;
    const PictureDecode decode(fd);
    QObject::connect(&decode, &PictureDecode::decoded, &loop, [&](const QImage &picture) {
        size = picture.size();
        loop.quit();
    });
    QObject::connect(&decode, &PictureDecode::failed, &loop, &QEventLoop::quit);
    loop.exec();
    return size;
}
} // namespace

QSize uprightPictureSize(const QString &path)
{
    QFile file;
    try {
        if (!file.open(openPictureFile(path), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            return {};
    } catch (const RunTimeError &) {
        return {};
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return {};
    const QSize size = uprightHeaderSize(reader);
    return size.isValid() ? size : decodedSize(file.handle());
}

QString graphicsFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString suffix = QString::fromLatin1(format).toLower();
        patterns << QStringLiteral("*.") + suffix << QStringLiteral("*.") + suffix.toUpper();
    }
    patterns.removeDuplicates();
    return QStringLiteral("Graphics Files|%1|All Files (*.*)|*.*").arg(patterns.join(QLatin1Char(';')));
}

QString openStartingFolder()
{
    if (!gCurrentPath.isEmpty()) {
        const QFileInfo current(gCurrentPath);
        if (current.absoluteDir().exists())
            return current.absolutePath();
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

void openPictureFiles(const QStringList &paths)
{
    bool first = true;
    for (const QString &path : paths) {
        endAtFirstFailure([&] {
            gCurrentPath = QFileInfo(path).absoluteFilePath();
            if (first)
                closeLoneViewer();
            first = false;
            frmViewer::openNew();
        });
    }
}

void openPictureCommand(CommonDialog &dialog, bool panelVariant)
{
    // Setting the dialog's properties cannot fail here, so both copies behave alike.
    if (panelVariant) {
        endAtFirstFailure([&] {
            prepareOpenDialog(dialog);
            openChosenPicture(dialog);
        });
        return;
    }
    prepareOpenDialog(dialog);
    endAtFirstFailure([&] { openChosenPicture(dialog); });
}

QString kilobytesText(qint64 bytes, const QLocale &locale)
{
    // Tenths of a kilobyte, rounded exactly in decimal: 250 bytes are 2.5 tenths, which go to 2.
    qint64 tenths = bytes / 100;
    const qint64 rest = bytes % 100;
    if (rest > 50 || (rest == 50 && tenths % 2 == 1))
        ++tenths;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = plain.toString(tenths / 10);
    if (tenths % 10 != 0)
        text += plain.decimalPoint() + plain.toString(tenths % 10);
    return text + QStringLiteral(" KB");
}

void pictureProperties()
{
    endAtFirstFailure([] {
        const QFileInfo file(gCurrentPath);
        if (gCurrentPath.isEmpty() || !file.isFile())
            return;
        MessageBox::show(kilobytesText(file.size()));
        const QSize size = uprightPictureSize(gCurrentPath);
        if (size.isValid())
            MessageBox::show(QStringLiteral("%1 X %2 pixels").arg(size.width()).arg(size.height()));
    });
}

void printPicture(CommonDialog &dialog, QWidget *activeChild)
{
    if (!activeChild)
        return;
    bool cancelled = false;
    skipFailingSteps({
        [&] { dialog.DialogTitle = QStringLiteral("Print"); },
        [&] { dialog.CancelError = true; },
        [&] { dialog.Flags = PrintFlags; },
        [&] {
            try {
                dialog.ShowPrinter();
            } catch (const RunTimeError &e) {
                cancelled = e.number() == err::DialogCancelled;
                throw;
            }
        },
    });
    if (cancelled)
        return;

    std::unique_ptr<QPainter> painter;
    skipFailingSteps({
        [&] {
            const QPixmap picture = pictureOf(activeChild);
            QPrinter *printer = dialog.printer();
            painter = std::make_unique<QPainter>();
            if (!painter->begin(printer))
                throw RunTimeError(482, QStringLiteral("Printer error"));
            const double unit = double(printer->resolution()) / TwipsPerInch;
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawPixmap(QRectF(500 * unit, 500 * unit, 7500 * unit, 4500 * unit), picture,
                                QRectF(picture.rect()));
        },
        [&] {
            // Ending the document sends the page to the printer.
            if (painter && painter->isActive())
                painter->end();
        },
    });
}

} // namespace pixdock::viewing
