// The common dialog object: one per owner, keeping its properties (title, filter, starting
// folder, flags, cancel-is-error) between uses. File-open and print can be preset by tests.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;

namespace pixdock {

class CommonDialog
{
public:
    CommonDialog();
    ~CommonDialog();

    QString DialogTitle;
    QString Filter;      // "Name|patterns|Name|patterns"
    int FilterIndex = 1; // 1-based choice in force
    QString InitDir;
    QString FileName;
    int Flags = 0;
    bool CancelError = false;

    // Shows the file-open dialog; the chosen path lands in FileName. A cancel raises
    // error 32755 when CancelError is set, else leaves FileName empty.
    void ShowOpen();
    // Shows the print dialog; afterwards printer() is the chosen printer.
    void ShowPrinter();
    QPrinter *printer();

    // The filter as Qt's file dialog wants it ("Graphics Files (*.bmp *.ico);;All Files (*.*)").
    static QStringList qtFilters(const QString &filter);

    // Test seams. A preset answers the next dialog of that kind; with answering mode on and
    // no preset, a dialog counts as unanswered and is cancelled.
    struct Shown
    {
        QString kind; // "open" or "print"
        QString title;
        QString filter;
        int filterIndex;
        QString initDir;
        int flags;
    };
    static void setAnsweringMode(bool on);
    static void presetOpen(const QString &path);
    static void presetOpenCancel();
    static void presetPrintToPdf(const QString &pdfPath);
    static void presetPrintCancel();
    static int unansweredDialogs();
    static const QList<Shown> &shown();
    static void clearRecord();

private:
    void cancelled();

    std::unique_ptr<QPrinter> m_printer;
};

} // namespace pixdock
