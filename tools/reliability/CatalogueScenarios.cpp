// The catalogue scenarios over the real windows.
#include "CatalogueScenarios.h"

#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "Frame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "RunTimeError.h"
#include "TestState.h"
#include "WindowList.h"
#include "frmAdd.h"
#include "frmDelete.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QLabel>
#include <QLineEdit>

namespace pixdock::reliability {

namespace {

// A text on one line of a report, and back.
QString escaped(const QString &s) { return QString::fromLatin1(s.toUtf8().toPercentEncoding(" ")); }
QString unescaped(const QString &s) { return QString::fromUtf8(QByteArray::fromPercentEncoding(s.toLatin1())); }

QString labelText(QWidget *window)
{
    auto *label = window->findChild<QLabel *>(QStringLiteral("lblMessage"));
    return label && label->isVisibleTo(window) ? label->text() : QString();
}

// Opens the shared connection; on failure the report says what start-up would show.
bool startUp(WindowReport &report, const AfterStartUp &afterStartUp = {})
{
    try {
        catalogue::OpenConnection();
    } catch (const RunTimeError &e) {
        report.messages << e.description();
        return false;
    }
    if (afterStartUp)
        afterStartUp();
    return true;
}

template<class Window>
Window *openWindow()
{
    Window *w = sharedWindow<Window>();
    w->showWindow();
    return w;
}

// Runs `action`, timing it, and gathers the messages it showed.
template<class F>
void timed(WindowReport &report, F action)
{
    MessageBox::clearRecord();
    QElapsedTimer clock;
    clock.start();
    action();
    report.busyMs = clock.elapsed();
    report.messages << MessageBox::shownTexts();
}

} // namespace

QString WindowReport::toText() const
{
    QStringList lines;
    lines << QStringLiteral("ok %1").arg(ok ? 1 : 0) << QStringLiteral("rows %1").arg(rows)
          << QStringLiteral("busy-ms %1").arg(busyMs) << QStringLiteral("label ") + escaped(label);
    for (const QString &m : messages)
        lines << QStringLiteral("message ") + escaped(m);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

WindowReport WindowReport::fromText(const QString &text)
{
    WindowReport r;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        const QString key = line.left(space);
        const QString value = space < 0 ? QString() : line.mid(space + 1);
        if (key == QLatin1String("ok"))
            r.ok = value == QLatin1String("1");
        else if (key == QLatin1String("rows"))
            r.rows = value.toInt();
        else if (key == QLatin1String("busy-ms"))
            r.busyMs = value.toLongLong();
        else if (key == QLatin1String("label"))
            r.label = unescaped(value);
        else if (key == QLatin1String("message"))
            r.messages << unescaped(value);
    }
    return r;
}

void closeCatalogue()
{
    gConnection.clear();
    if (QSqlDatabase::contains(catalogue::SharedConnectionName)) {
        QSqlDatabase::database(catalogue::SharedConnectionName, false).close();
        QSqlDatabase::removeDatabase(catalogue::SharedConnectionName);
    }
}

WindowReport scenarioByName(const QString &name, const AfterStartUp &afterStartUp)
{
    const auto closing = qScopeGuard(closeCatalogue);
    const QString file = QStringLiteral("probe.jpg");
    WindowReport report;
    if (name == QLatin1String("start")) {
        QElapsedTimer clock;
        clock.start();
        report.ok = startUp(report);
        report.busyMs = clock.elapsed();
        return report;
    }
    if (!startUp(report, afterStartUp))
        return report;
    frame()->setStatusText(QStringLiteral("/pictures/") + file);
    if (name == QLatin1String("add")) {
        frmAdd *w = openWindow<frmAdd>();
        w->findChild<QLineEdit *>(QStringLiteral("txtDescription"))->setText(QStringLiteral("probe"));
        timed(report, [w] {
            MessageBox::queueAnswer(QMessageBox::Yes); // a file name already there is added again
            w->cmdAdd_Click();
        });
        report.messages.removeAll(QStringLiteral("Image name already in database.\r\nDo you want to continue?"));
        report.label = labelText(w);
        report.ok = report.label == file + QStringLiteral(" has been added to the database.");
        w->unload();
    } else if (name == QLatin1String("remove")) {
        frmDelete *w = openWindow<frmDelete>();
        timed(report, [w] {
            MessageBox::queueAnswer(QMessageBox::Yes);
            w->cmdContinue_Click();
        });
        // The question itself is no report of the outcome.
        report.messages.removeAll(QStringLiteral("Are you sure you want to remove ") + file
                                  + QStringLiteral(" from the database?"));
        report.label = labelText(w);
        report.ok = report.label == file + QStringLiteral(" has been removed from the database.  ");
        w->unload();
    } else if (name == QLatin1String("search")) {
        frmSearch *w = openWindow<frmSearch>();
        w->findChild<QLineEdit *>(QStringLiteral("txtKeywords"))->setText(QStringLiteral("probe"));
        timed(report, [w] { w->cmdSearch_Click(); });
        report.label = labelText(w);
        report.rows = w->grid()->isVisibleTo(w) ? w->grid()->rows() - 1 : 0;
        report.ok = report.messages.isEmpty();
        w->unload();
    } else {
        frmImgList *w = nullptr;
        timed(report, [&w] { w = openWindow<frmImgList>(); });
        report.rows = w->grid()->rows() - 1;
        report.ok = report.messages.isEmpty();
        w->unload();
    }
    return report;
}

} // namespace pixdock::reliability
