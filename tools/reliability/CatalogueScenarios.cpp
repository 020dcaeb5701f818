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

#include <QDataStream>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QLabel>
#include <QLineEdit>

namespace pixdock::reliability {

QString WindowReport::toText() const
{
    QByteArray fields;
    QDataStream(&fields, QIODevice::WriteOnly) << ok << messages << label << rows << busyMs;
    return QStringLiteral("ok %1 ").arg(int(ok)) + QString::fromLatin1(fields.toBase64());
}

WindowReport WindowReport::fromText(const QString &text)
{
    WindowReport r;
    QDataStream(QByteArray::fromBase64(text.section(u' ', 2).toLatin1())) >> r.ok >> r.messages >> r.label >> r.rows >> r.busyMs;
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
