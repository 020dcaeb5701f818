// The catalogue scenarios over the real windows.
#include "CatalogueScenarios.h"

#include "CatalogueGrid.h"
#include "CatalogueStore.h"
#include "Frame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "WindowList.h"
#include "frmAdd.h"
#include "frmDelete.h"
#include "frmImgList.h"
#include "frmSearch.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QScopeGuard>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>

namespace pixdock::reliability {

namespace {
// A text on one line of a report, and back.
QString escaped(const QString &s) { return QString::fromLatin1(s.toUtf8().toPercentEncoding(" ")); }
QString unescaped(const QString &s) { return QString::fromUtf8(QByteArray::fromPercentEncoding(s.toLatin1())); }
} // namespace

QString WindowReport::toText() const
{
    QString text = QStringLiteral("ok %1\nrows %2\nbusy-ms %3\nlabel %4\n").arg(int(ok)).arg(rows).arg(busyMs).arg(escaped(label));
    for (const QString &m : messages)
        text += "message " + escaped(m) + u'\n';
    return text;
}

WindowReport WindowReport::fromText(const QString &text)
{
    WindowReport r;
    QMap<QString, QStringList> fields;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        fields[line.section(u' ', 0, 0)] << unescaped(line.section(u' ', 1));
    r.ok = fields.value("ok").value(0) == u"1";
    r.rows = fields.value("rows").value(0, "-1").toInt();
    r.busyMs = fields.value("busy-ms").value(0).toLongLong();
    r.label = fields.value("label").value(0);
    r.messages = fields.value("message");
    return r;
}

WindowReport scenarioByName(const QString &name)
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
    if (name == u"start" || !report.messages.isEmpty()) {
        report.ok = report.messages.isEmpty();
        report.busyMs = name == u"start" ? clock.elapsed() : 0;
        return report;
    }
    frame()->setStatusText("/pictures/" + file);
    // The window (shown, with "probe" typed into its field), the question its action asks
    // (answered Yes; no report of the outcome), the message line that says it worked (none: no
    // message shown), its action.
    ChildWindow *w = nullptr;
    QString question, done;
    std::function<void()> action;
    const auto open = [&w](ChildWindow *window, const char *field = nullptr) {
        (w = window)->showWindow();
        if (field)
            window->findChild<QLineEdit *>(QLatin1String(field))->setText(QStringLiteral("probe"));
    };
    if (name == u"add") {
        open(sharedWindow<frmAdd>(), "txtDescription");
        question = QStringLiteral("Image name already in database.\r\nDo you want to continue?"); // added again
        done = file + " has been added to the database.";
        action = [] { sharedWindow<frmAdd>()->cmdAdd_Click(); };
    } else if (name == u"remove") {
        open(sharedWindow<frmDelete>());
        question = "Are you sure you want to remove " + file + " from the database?";
        done = file + " has been removed from the database.  ";
        action = [] { sharedWindow<frmDelete>()->cmdContinue_Click(); };
    } else if (name == u"search") {
        open(sharedWindow<frmSearch>(), "txtKeywords");
        action = [&report] {
            auto *search = sharedWindow<frmSearch>();
            search->cmdSearch_Click();
            report.rows = search->grid()->isVisibleTo(search) ? search->grid()->rows() - 1 : 0;
        };
    } else { // the list loads as it opens
        action = [&] {
            open(sharedWindow<frmImgList>());
            report.rows = sharedWindow<frmImgList>()->grid()->rows() - 1;
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
    if (label && label->isVisibleTo(w) && name != u"list")
        report.label = label->text();
    report.ok = done.isEmpty() ? report.messages.isEmpty() : report.label == done;
    w->unload();
    return report;
}

} // namespace pixdock::reliability
