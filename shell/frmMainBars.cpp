// The main window's toolbar and its three-panel status bar.
#include "frmMain.h"

#include "ShellResources.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>

namespace pixdock {

namespace {
struct ButtonRow
{
    const char *key;
    const char *tooltip;
    bool separatorAfter;
};

constexpr ButtonRow Buttons[] = {
    {"Open", "Open Image", true},
    {"Back", "Previous Image", false},
    {"Forward", "Next Image", true},
    {"Delete", "Delete From Database", true},
    {"Find", "Search Database", false},
    {"Properties", "Image Properties", true},
    {"Help", "Help", false},
};

QLabel *statusPanel(const char *name)
{
    auto *label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}
} // namespace

void frmMain::createToolBars()
{
    tbToolBar = addToolBar(QString());
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    for (const ButtonRow &row : Buttons) {
        const QString key = QLatin1String(row.key);
        QAction *button = tbToolBar->addAction(toolbarIcon(key), QLatin1String(row.tooltip));
        button->setObjectName(QLatin1String("tb") + key);
        button->setData(key);
        button->setToolTip(QLatin1String(row.tooltip));
        connect(button, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        if (row.separatorAfter)
            tbToolBar->addSeparator();
    }
}

void frmMain::createStatusBar()
{
    sbStatusBar = new QStatusBar;
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(sbStatusBar);

    m_statusText = statusPanel("sbStatusBarText");
    m_statusText->setText(NoImageLoaded);
    // A long path must not widen the window: the panel takes what width is left and clips.
    m_statusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_statusText->setMinimumWidth(1);
    sbStatusBar->addWidget(m_statusText, 1);

    m_statusDate = statusPanel("sbStatusBarDate");
    m_statusTime = statusPanel("sbStatusBarTime");
    sbStatusBar->addPermanentWidget(m_statusDate);
    sbStatusBar->addPermanentWidget(m_statusTime);
    updateClock();
    m_clockTimer.setInterval(1000);
    connect(&m_clockTimer, &QTimer::timeout, this, &frmMain::updateClock);
    m_clockTimer.start();
}

void frmMain::updateClock()
{
    const QLocale locale;
    m_statusDate->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    m_statusTime->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

QString frmMain::statusText() const { return m_statusText->text(); }

void frmMain::setStatusText(const QString &text) { m_statusText->setText(text); }

} // namespace pixdock
