// The catalogue scenarios over the real windows.
#include "CatalogueScenarios.h"

#include "CatalogueGrid.h"
#include "ChildWindow.h"
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
#include <QMessageBox>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QLabel>
#include <QLineEdit>

namespace pixdock::reliability {

namespace {

// A text on one line of a report, and back.
QString escaped(const QString &s) { return QString::fromLatin1(s.toUtf8().toPercentEncoding(" ")); }
QString unescaped(const QString &s) { return QString::fromUtf8(QByteArray::fromPercentEncoding(s.toLatin1())); }

} // namespace

QString WindowReport::toText() const
{
    QString text = QStringLiteral("ok %1\nrows %2\nbusy-ms %3\nlabel %4\n")
                       .arg(QString::number(ok ? 1 : 0), QString::number(rows), QString::number(busyMs), escaped(label));
    for (const QString &m : messages)
        text += QStringLiteral("message ") + escaped(m) + QLatin1Char('\n');
    return text;
}

WindowReport WindowReport::fromText(const QString &text)
{
    WindowReport r;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString key = line.section(QLatin1Char(' '), 0, 0), value = line.section(QLatin1Char(' '), 1);
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

WindowReport scenarioByName(const QString &name, const AfterStartUp &afterStartUp)
{
    // Afterwards the shared connection goes, so nothing holds the catalogue file.
    const auto closing = qScopeGuard([] {
        gConnection.clear();
        QSqlDatabase::database(catalogue::SharedConnectionName, false).close();
        QSqlDatabase::removeDatabase(catalogue::SharedConnectionName);
    });
    const QString file = QStringLiteral("probe.jpg");
    WindowReport report;
    QElapsedTimer clock;
    clock.start();
    // Start-up opens the shared connection; on failure the report says what start-up would show.
    try {
        catalogue::OpenConnection();
    } catch (const RunTimeError &e) {
        report.messages << e.description();
    }
    if (name == QLatin1String("start") || !report.messages.isEmpty()) {
        report.ok = report.messages.isEmpty();
        report.busyMs = name == QLatin1String("start") ? clock.elapsed() : 0;
        return report;
    }
    if (afterStartUp)
        afterStartUp();
    frame()->setStatusText(QStringLiteral("/pictures/") + file);
    // The window, what it is typed, the question its action asks (answered Yes; no report of
    // the outcome), the message line that says it worked (none: no message shown), its action.
    ChildWindow *w = nullptr;
    QString question, done;
    std::function<void()> action;
    const auto type = [](ChildWindow *window, const char *field) {
        window->showWindow();
        window->findChild<QLineEdit *>(QLatin1String(field))->setText(QStringLiteral("probe"));
    };
    if (name == QLatin1String("add")) {
        auto *add = sharedWindow<frmAdd>();
        type(w = add, "txtDescription");
        question = QStringLiteral("Image name already in database.\r\nDo you want to continue?"); // added again
        done = file + QStringLiteral(" has been added to the database.");
        action = [add] { add->cmdAdd_Click(); };
    } else if (name == QLatin1String("remove")) {
        auto *remove = sharedWindow<frmDelete>();
        (w = remove)->showWindow();
        question = QStringLiteral("Are you sure you want to remove ") + file + QStringLiteral(" from the database?");
        done = file + QStringLiteral(" has been removed from the database.  ");
        action = [remove] { remove->cmdContinue_Click(); };
    } else if (name == QLatin1String("search")) {
        auto *search = sharedWindow<frmSearch>();
        type(w = search, "txtKeywords");
        action = [search, &report] {
            search->cmdSearch_Click();
            report.rows = search->grid()->isVisibleTo(search) ? search->grid()->rows() - 1 : 0;
        };
    } else {
        action = [&w, &report] {
            auto *list = sharedWindow<frmImgList>();
            (w = list)->showWindow();
            report.rows = list->grid()->rows() - 1;
        };
    }
    MessageBox::clearRecord();
    if (!question.isEmpty())
        MessageBox::queueAnswer(QMessageBox::Yes);
    clock.start();
    action();
    report.busyMs = clock.elapsed();
    report.messages = MessageBox::shownTexts();
    report.messages.removeAll(question);
    auto *label = w->findChild<QLabel *>(QStringLiteral("lblMessage"));
    if (label && label->isVisibleTo(w) && name != QLatin1String("list"))
        report.label = label->text();
    report.ok = done.isEmpty() ? report.messages.isEmpty() : report.label == done;
    w->unload();
    return report;
}

} // namespace pixdock::reliability
