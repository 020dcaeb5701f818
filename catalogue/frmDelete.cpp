// The removal window.
#include "frmDelete.h"

#include "CataloguePaths.h"
#include "CatalogueService.h"
#include "Frame.h"
#include "MessageBox.h"
#include "PlaceControl.h"
#include "RunTimeError.h"
#include "TextFit.h"
#include "Twips.h"
#include "WaitCursor.h"
#include "WindowList.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QRadioButton>

namespace pixdock {

frmDelete::frmDelete()
{
    setObjectName(QStringLiteral("frmDelete"));
    setWindowTitle(QStringLiteral("Delete Images"));

    frameOptions = new QGroupBox(QStringLiteral("Options"), this);
    frameOptions->setObjectName(QStringLiteral("frameOptions"));
    frameOptions->setGeometry(twips::rectToPixels(240, 120, 9375, 2055));
    optDatabase = placeControl<QRadioButton>(frameOptions, "optDatabase", QStringLiteral("Delete Database Record"),
                                      360, 600, 2175, 195);
    optImage = placeControl<QRadioButton>(frameOptions, "optImage", QStringLiteral("Delete Image File"), 360, 1080,
                                   2295, 255);
    optBoth = placeControl<QRadioButton>(frameOptions, "optBoth", QStringLiteral("Delete Both"), 360, 1560, 1695, 375);
    optDatabase->setChecked(true);
    // Only catalogue rows are ever removed; the other two choices stay unavailable.
    optImage->setEnabled(false);
    optBoth->setEnabled(false);
    lblMessage = placeControl<QLabel>(this, "lblMessage", QString(), 480, 2400, 5535, 855);
    lblMessage->setWordWrap(true);
    lblMessage->hide();
    cmdContinue = placeControl<QPushButton>(this, "cmdContinue", QStringLiteral("Delete"), 360, 3600, 1455, 375);
    cmdExit = placeControl<QPushButton>(this, "cmdExit", QStringLiteral("Exit"), 2280, 3600, 1455, 375);

    setTabOrder(optImage, optDatabase);
    setTabOrder(optDatabase, optBoth);
    setTabOrder(optBoth, cmdContinue);
    setTabOrder(cmdContinue, cmdExit);

    connect(cmdContinue, &QPushButton::clicked, this, &frmDelete::cmdContinue_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmDelete::cmdExit_Click);
}

void frmDelete::Form_Load()
{
    setClientSizeTwips(9990, 5565);
    setLeftTwips(panelWidthTwips());
    setTopTwips(0);
    frameOptions->setTitle(QStringLiteral("Options for ") + frameStatusText());
}

void frmDelete::Form_Unload()
{
    if (loadedSharedWindow<frmDelete>() == this)
        forgetSharedWindow<frmDelete>();
}

void frmDelete::cmdContinue_Click()
{
    // Any failure ends the removal; rows go only if the statement succeeded in the file at the
    // catalogue's path, and the user is told why they did not (locked, busy, read-only, moved),
    // not left to guess.
    if (m_removing)
        return;
    const QPointer<frmDelete> self(this);
    handleFailure([this, &self] {
        const QString current = frameStatusText();
        lblMessage->clear();
        if (!optDatabase->isChecked() || current == NoImageLoaded)
            return;
        const catalogue::PicturePath split = catalogue::splitPicturePath(current);
        const auto answer = MessageBox::show(
            QStringLiteral("Are you sure you want to remove ") + split.fileName
                + QStringLiteral(" from the database?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, MessageBox::Icon::None);
        if (!self || answer != QMessageBox::Yes)
            return;
        m_removing = true;
        const auto removing = qScopeGuard([&] {
            if (self)
                m_removing = false;
        });
        {
            WaitCursor wait;
            catalogue::CatalogueService::instance().removeRows(split.fileName, split.folder);
        }
        if (!self)
            return;
        lblMessage->setText(split.fileName + QStringLiteral(" has been removed from the database.  "));
        fitText(lblMessage);
        lblMessage->setVisible(true);
    },
    [](const RunTimeError &e) {
        MessageBox::show(QStringLiteral("The picture could not be removed from the catalogue.\r\n")
                             + e.description(),
                         QMessageBox::Ok, MessageBox::Icon::Warning);
    });
}

void frmDelete::cmdExit_Click()
{
    unload();
}

} // namespace pixdock
