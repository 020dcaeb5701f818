// A Qt generic plug-in that the install test loads into the installed program
// (QT_QPA_GENERIC_PLUGINS=pixdockprobe). From inside the real process it watches the windows
// as a person would see them: answers message boxes (noting their texts), waits for the main
// window and the viewer of the picture given on the command line, opens the manual and a
// browser window through their menu items, notes which browser module the program loaded,
// writes all of it to $PIXDOCK_PROBE_REPORT as JSON and ends the program through File > Exit.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>

#include <functional>

namespace {

template<class W = QWidget>
W *find(const char *name)
{
    for (QWidget *w : QApplication::allWidgets())
        if (w->objectName() == QLatin1String(name))
            return qobject_cast<W *>(w);
    return nullptr;
}

class Probe : public QObject
{
public:
    Probe()
    {
        connect(&m_timer, &QTimer::timeout, this, &Probe::tick);
        m_timer.start(50);
    }

private:
    // Each step notes what it saw and returns true once it is done.
    const QList<std::function<bool(QMainWindow *)>> m_steps = {
        [this](QMainWindow *main) {
            return main && main->isVisible() && note("statusMessage", main->statusBar()->currentMessage());
        },
        [this](QMainWindow *main) {
            auto *status = find<QLabel>("sbStatusBarText");
            if (!status || status->text() != qEnvironmentVariable("PIXDOCK_PROBE_PICTURE"))
                return false;
            QJsonArray viewers; // the size of the picture each viewer shows
            for (QMdiSubWindow *sub : main->findChildren<QMdiSubWindow *>())
                if (auto *picture = sub->findChild<QWidget *>(QStringLiteral("picFramed")))
                    viewers.append(QStringLiteral("%1x%2").arg(picture->width()).arg(picture->height()));
            return note("statusText", status->text()) && note("viewers", viewers) && trigger(main, "mnuHelpContents");
        },
        [this](QMainWindow *main) {
            auto *page = find<QTextBrowser>("helpBrowser");
            return page && !page->documentTitle().isEmpty() && note("manualTitle", page->documentTitle())
                && trigger(main, "mnuViewWebBrowser");
        },
        [this](QMainWindow *main) {
            if (!find("brwWebBrowser"))
                return false;
            QFile maps(QStringLiteral("/proc/self/maps"));
            for (const QByteArray &line : (maps.open(QIODevice::ReadOnly) ? maps.readAll() : "").split('\n'))
                if (line.endsWith("libpixdock_browser.so"))
                    note("browserModule", QString::fromLocal8Bit(line.mid(line.indexOf('/'))));
            finish({});
            return trigger(main, "mnuFileExit");
        }};

    void tick()
    {
        if (++m_ticks > 1200) // a minute
            return finish(QStringLiteral("timed out at step %1").arg(m_step));
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_messages << box->text();
            box->done(QMessageBox::Ok);
        } else if (m_step < m_steps.size() && m_steps.at(m_step)(find<QMainWindow>("frmMain"))) {
            ++m_step;
        }
    }

    bool note(const char *key, const QJsonValue &value)
    {
        m_report.insert(QLatin1String(key), value);
        return true;
    }

    bool trigger(QMainWindow *main, const char *name)
    {
        auto *action = main->findChild<QAction *>(QLatin1String(name));
        if (action)
            action->trigger();
        else
            finish(QStringLiteral("no menu item %1").arg(QLatin1String(name)));
        return true;
    }

    // Writes the report (with the failure, empty when none) and ends the program on a failure.
    void finish(const QString &failure)
    {
        m_timer.stop();
        note("messages", QJsonArray::fromStringList(m_messages));
        note("failure", failure);
        QFile out(qEnvironmentVariable("PIXDOCK_PROBE_REPORT"));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(QJsonDocument(m_report).toJson());
        if (!failure.isEmpty())
            QCoreApplication::exit(3);
    }

    QTimer m_timer;
    int m_ticks = 0, m_step = 0;
    QStringList m_messages;
    QJsonObject m_report;
};

} // namespace

class InstallProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")
public:
    QObject *create(const QString &, const QString &) override { return new Probe; }
};

#include "InstallProbe.moc"
