// The common dialog over QFileDialog and QPrintDialog.
#include "CommonDialog.h"

#include "ModGlobal.h"
#include "OpenFileDialog.h"
#include "RunTimeError.h"

#include <QApplication>
#include <QEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QQueue>

#include <optional>

namespace pixdock {

namespace {
struct Preset
{
    bool cancel = false;
    QString path;
};

struct AnsweringState
{
    bool on = false;
    QQueue<Preset> open;
    QQueue<Preset> print;
    QList<CommonDialog::Shown> shown;
    int unanswered = 0;
};

AnsweringState &state()
{
    static AnsweringState s;
    return s;
}

std::optional<Preset> takePreset(QQueue<Preset> &queue)
{
    auto &s = state();
    if (!queue.isEmpty())
        return queue.dequeue();
    if (s.on) {
        ++s.unanswered;
        return Preset{true, {}};
    }
    return std::nullopt;
}

QWidget *dialogOwner()
{
    return gMainWindow ? gMainWindow.data() : QApplication::activeWindow();
}

// Qt's print dialog offers the page range again when it shows itself if the print system
// can pick pages, whatever its options say; once it is shown, its page-range controls are
// made unavailable.
class PageRangeOff : public QObject
{
public:
    explicit PageRangeOff(QPrintDialog &dialog)
        : m_dialog(dialog)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_dialog && event->type() == QEvent::Show) {
            for (const char *name : {"printRange", "pagesRadioButton", "pagesLineEdit", "from", "to"}) {
                for (QWidget *control : m_dialog.findChildren<QWidget *>(QLatin1String(name)))
                    control->setEnabled(false);
            }
        }
        return false;
    }

private:
    QPrintDialog &m_dialog;
};
} // namespace

CommonDialog::CommonDialog() = default;
CommonDialog::~CommonDialog() = default;

QStringList CommonDialog::qtFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        QString name = parts.at(i);
        // A name that already shows its patterns, "All Files (*.*)", is given as it stands.
        if (name.endsWith(QLatin1Char(')')))
            result.append(name.left(name.lastIndexOf(QLatin1Char('('))).trimmed() + QLatin1String(" (")
                          + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
        else
            result.append(name + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return result;
}

void CommonDialog::cancelled()
{
    FileName.clear();
    if (CancelError)
        throw RunTimeError(err::DialogCancelled, QStringLiteral("Cancel was selected."));
}

void CommonDialog::ShowOpen()
{
    state().shown.append({QStringLiteral("open"), DialogTitle, Filter, FilterIndex, InitDir, Flags});
    if (auto preset = takePreset(state().open)) {
        if (preset->cancel)
            return cancelled();
        FileName = preset->path;
        return;
    }
    const QStringList filters = qtFilters(Filter);
    QString selected = filters.value(FilterIndex - 1);
    OpenFileDialog dialog(dialogOwner(), DialogTitle, InitDir);
    dialog.setNameFilters(filters);
    if (!selected.isEmpty())
        dialog.selectNameFilter(selected);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenFile().isEmpty())
        return cancelled();
    FileName = dialog.chosenFile();
}

QPrinter *CommonDialog::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void CommonDialog::ShowPrinter()
{
    state().shown.append({QStringLiteral("print"), DialogTitle, Filter, FilterIndex, InitDir, Flags});
    if (auto preset = takePreset(state().print)) {
        if (preset->cancel)
            return cancelled();
        printer()->setOutputFormat(QPrinter::PdfFormat);
        printer()->setOutputFileName(preset->path);
        return;
    }
    QPrintDialog dialog(printer(), dialogOwner());
    if (!DialogTitle.isEmpty())
        dialog.setWindowTitle(DialogTitle);
    // Flag 0x08 takes the page-range choice away.
    PageRangeOff pageRangeOff(dialog);
    if (Flags & 0x08) {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.installEventFilter(&pageRangeOff);
    }
    if (dialog.exec() != QDialog::Accepted)
        return cancelled();
}

void CommonDialog::setAnsweringMode(bool on) { state().on = on; }
void CommonDialog::presetOpen(const QString &path) { state().open.enqueue({false, path}); }
void CommonDialog::presetOpenCancel() { state().open.enqueue({true, {}}); }
void CommonDialog::presetPrintToPdf(const QString &pdfPath) { state().print.enqueue({false, pdfPath}); }
void CommonDialog::presetPrintCancel() { state().print.enqueue({true, {}}); }
int CommonDialog::unansweredDialogs() { return state().unanswered; }
const QList<CommonDialog::Shown> &CommonDialog::shown() { return state().shown; }

void CommonDialog::clearRecord()
{
    auto &s = state();
    s.open.clear();
    s.print.clear();
    s.shown.clear();
    s.unanswered = 0;
}

} // namespace pixdock
