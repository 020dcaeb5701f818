// The about box's layout and handlers.
#include "frmAbout.h"

#include "AboutLogo.h"
#include "EtchedLine.h"
#include "MessageBox.h"
#include "RunTimeError.h"
#include "SysInfoLookup.h"
#include "TextFit.h"
#include "Twips.h"
#include "Version.h"
#include "WindowList.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

namespace pixdock {

namespace {

const QString CreditsText = QStringLiteral("Pixdock by the Pixdock developers\n"
                                           "https://pixdock.example.org\n"
                                           "pixdock@example.org");
const QString DisclaimerText =
    QStringLiteral("Warning: Pixdock comes without any warranty. Keep copies of your pictures.");

QLabel *label(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(twips::rectToPixels(left, top, width, height));
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, int left, int top,
                    int width, int height)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(twips::rectToPixels(left, top, width, height));
    return b;
}

} // namespace

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner)
{
    setWindowTitle(QStringLiteral("About Pixdock"));
    setFixedSize(twips::sizeToPixels(7500, 3750));

    picIcon = label(this, "picIcon", 5400, 120, 1710, 1320);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon->setPixmap(about::aboutLogo());

    lblTitle = label(this, "lblTitle", 1050, 240, 4092, 480);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = label(this, "lblVersion", 1050, 780, 4092, 225);
    lblDescription = label(this, "lblDescription", 1050, 1125, 4092, 1170);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Line1 = new about::EtchedLine(225, 5160, 2430, this);
    Line1->setObjectName(QStringLiteral("Line1"));

    lblDisclaimer = label(this, "lblDisclaimer", 255, 2625, 2430, 825);
    lblDisclaimer->setText(DisclaimerText);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = lblDisclaimer->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblDisclaimer->setFont(small);

    cmdOK = button(this, "cmdOK", QStringLiteral("OK"), 3240, 2625, 1467, 345);
    cmdOK->setDefault(true);
    // OK is the default button; Enter on System Info while it has the focus presses it.
    cmdSysInfo = button(this, "cmdSysInfo", QStringLiteral("&System Info..."), 3240, 3075, 1452, 345);
    // Esc closes the box through QDialog's reject(), which ends in done() like OK.
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    cmdOK->setFocus();
}

frmAbout::~frmAbout()
{
    WindowList::instance().leave(this);
}

void frmAbout::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    WindowList::instance().enter(this);
    Form_Load();
}

void frmAbout::Form_Load()
{
    lblVersion->setText(versionLabelText());
    lblTitle->setText(QStringLiteral("Pixdock"));
    lblDescription->setText(CreditsText);
    fitTexts(this);
}

void frmAbout::done(int result)
{
    QDialog::done(result);
    unload();
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    // A box that is not on screen closes without passing through done().
    QDialog::closeEvent(event);
    if (event->isAccepted())
        unload();
}

void frmAbout::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    Form_Unload();
    WindowList::instance().leave(this);
    deleteLater();
}

void frmAbout::Form_Unload()
{
    if (loadedSharedWindow<frmAbout>() == this)
        forgetSharedWindow<frmAbout>();
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    bool started = false;
    endAtFirstFailure([&started] {
        const std::optional<QString> program = about::findSysInfoProgram();
        started = program && QProcess::startDetached(*program, {});
    });
    if (!started)
        MessageBox::show(QStringLiteral("System Information Is Unavailable At This Time"),
                         QMessageBox::Ok, MessageBox::Icon::None, ProgramTitle);
}

} // namespace pixdock
