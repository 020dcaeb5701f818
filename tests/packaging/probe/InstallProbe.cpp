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

namespace {

QWidget *findWidget(const QString &name)
{
    const QWidgetList all = QApplication::allWidgets();
    const auto found = std::find_if(all.begin(), all.end(), [&name](QWidget *w) { return w->objectName() == name; });
    return found == all.end() ? nullptr : *found;
}

QString mappedBrowserModule()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const int at = line.indexOf('/');
        if (at >= 0 && line.endsWith("libpixdock_browser.so"))
            return QString::fromLocal8Bit(line.mid(at));
    }
    return {};
}

class Probe : public QObject
{
public:
    Probe()
    {
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, &Probe::tick);
        m_timer.start();
    }

private:
    enum class Step { MainWindow, Viewer, Manual, Browser, Done };

    void tick()
    {
        if (++m_ticks > 1200) // a minute
            return finish(QStringLiteral("timed out at step %1").arg(int(m_step)));
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_messages << box->text();
            box->done(QMessageBox::Ok);
            return;
        }
        auto *main = qobject_cast<QMainWindow *>(findWidget(QStringLiteral("frmMain")));
        switch (m_step) {
        case Step::MainWindow:
            if (main && main->isVisible()) {
                m_report[QStringLiteral("statusMessage")] = main->statusBar()->currentMessage();
                m_step = Step::Viewer;
            }
            return;
        case Step::Viewer: {
            const QString expected = qEnvironmentVariable("PIXDOCK_PROBE_PICTURE");
            auto *status = qobject_cast<QLabel *>(findWidget(QStringLiteral("sbStatusBarText")));
            if (!status || status->text() != expected)
                return;
            QJsonArray viewers; // the size of the picture each viewer shows
            for (QMdiSubWindow *sub : main->findChildren<QMdiSubWindow *>()) {
                if (auto *picture = sub->findChild<QWidget *>(QStringLiteral("picFramed")))
                    viewers.append(QStringLiteral("%1x%2").arg(picture->width()).arg(picture->height()));
            }
            m_report[QStringLiteral("statusText")] = status->text();
            m_report[QStringLiteral("viewers")] = viewers;
            trigger(main, "mnuHelpContents");
            m_step = Step::Manual;
            return;
        }
        case Step::Manual: {
            auto *page = qobject_cast<QTextBrowser *>(findWidget(QStringLiteral("helpBrowser")));
            if (!page || page->documentTitle().isEmpty())
                return;
            m_report[QStringLiteral("manualTitle")] = page->documentTitle();
            trigger(main, "mnuViewWebBrowser");
            m_step = Step::Browser;
            return;
        }
        case Step::Browser:
            if (!findWidget(QStringLiteral("brwWebBrowser")))
                return;
            m_report[QStringLiteral("browserModule")] = mappedBrowserModule();
            m_step = Step::Done;
            finish({});
            trigger(main, "mnuFileExit");
            return;
        case Step::Done:
            return;
        }
    }

    void trigger(QMainWindow *main, const char *name)
    {
        if (auto *action = main->findChild<QAction *>(QLatin1String(name)))
            action->trigger();
        else
            finish(QStringLiteral("no menu item %1").arg(QLatin1String(name)));
    }

    void finish(const QString &failure)
    {
        m_timer.stop();
        m_report[QStringLiteral("messages")] = QJsonArray::fromStringList(m_messages);
        if (!failure.isEmpty())
            m_report[QStringLiteral("failure")] = failure;
        QFile out(qEnvironmentVariable("PIXDOCK_PROBE_REPORT"));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(QJsonDocument(m_report).toJson());
        if (!failure.isEmpty())
            QCoreApplication::exit(3);
    }

    QTimer m_timer;
    int m_ticks = 0;
    Step m_step = Step::MainWindow;
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
