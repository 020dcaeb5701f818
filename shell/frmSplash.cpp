// The splash window: a frameless, fixed-size window centred on the screen.
#include "frmSplash.h"

#include "ShellResources.h"
#include "Twips.h"
#include "Version.h"

#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace pixdock {

frmSplash::frmSplash()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    initShellResources();
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(twips::sizeToPixels(7455, 4650));
    setWindowIcon(programIcon());

    fraMainFrame = new QGroupBox(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setGeometry(twips::rectToPixels(45, -15, 7380, 4590));

    picLogo = new QLabel(fraMainFrame);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setGeometry(twips::rectToPixels(510, 855, 1695, 1305));
    picLogo->setPixmap(QPixmap(QStringLiteral(":/icons/logo.png")));
    picLogo->setAlignment(Qt::AlignCenter);

    lblCompanyProduct = addLabel("lblCompanyProduct", 2505, 765, 4125, 435, 18, Qt::AlignLeft);
    lblCompanyProduct->setText(productAddress());
    lblProductName = addLabel("lblProductName", 2520, 1320, 2190, 720, 29.25, Qt::AlignLeft);
    lblPlatform = addLabel("lblPlatform", 4545, 2400, 2460, 360, 13.5, Qt::AlignRight);
    lblPlatform->setText(QStringLiteral("Linux Version"));
    lblVersion = addLabel("lblVersion", 6075, 2760, 930, 300, 12, Qt::AlignRight);
}

QString frmSplash::productAddress() { return QStringLiteral("pixdock.example.org"); }

QLabel *frmSplash::addLabel(const char *name, int left, int top, int width, int height,
                            double points, Qt::Alignment alignment)
{
    auto *label = new QLabel(fraMainFrame);
    label->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setGeometry(twips::rectToPixels(left, top, width, height));
    return label;
}

void frmSplash::load()
{
    Form_Load();
    // The labels fit themselves to their text; right-aligned ones keep their right edge.
    for (QLabel *label : {lblCompanyProduct, lblProductName, lblPlatform, lblVersion}) {
        const QRect box = label->geometry();
        label->adjustSize();
        if (label->alignment() & Qt::AlignRight)
            label->move(box.right() + 1 - label->width(), box.top());
    }
    if (QScreen *screen = this->screen()) {
        QRect centred = rect();
        centred.moveCenter(screen->geometry().center());
        move(centred.topLeft());
    }
}

void frmSplash::Form_Load()
{
    lblProductName->setText(QStringLiteral("Pixdock"));
    lblVersion->setText(versionLabelText());
}

void frmSplash::unload()
{
    m_unloading = true;
    close();
    deleteLater();
}

void frmSplash::closeEvent(QCloseEvent *event)
{
    // Neither clicks nor keys close the splash; only start-up does, when the wait is over.
    if (m_unloading)
        event->accept();
    else
        event->ignore();
}

} // namespace pixdock
