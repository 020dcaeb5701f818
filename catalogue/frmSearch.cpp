// The search window.
#include "frmSearch.h"

#include "CatalogueGrid.h"
#include "CatalogueOpening.h"
#include "CatalogueService.h"
#include "CatalogueSnapshot.h"
#include "CatalogueTextBoxes.h"
#include "Frame.h"
#include "MessageBox.h"
#include "PlaceControl.h"
#include "RunTimeError.h"
#include "TextFit.h"
#include "Twips.h"
#include "WaitCursor.h"
#include "WindowList.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace pixdock {

using catalogue::CatalogueGrid;

frmSearch::frmSearch()
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(caption::Search);

    lblKeywords = placeControl<QLabel>(this, "lblKeywords", 960, 480, 3615, 255);
    lblKeywords->setText(QStringLiteral("Enter search keywords separated by a comma:"));
    txtKeywords = placeControl<QLineEdit>(this, "txtKeywords", 480, 840, 4455, 375);
    cmdSearch = placeControl<QPushButton>(this, "cmdSearch", 6600, 840, 1335, 495);
    cmdSearch->setText(QStringLiteral("Search"));
    lblMessage = placeControl<QLabel>(this, "lblMessage", 960, 1320, 3615, 375);
    lblMessage->hide();
    cmdExit = placeControl<QPushButton>(this, "cmdExit", 6600, 1680, 1335, 495);
    cmdExit->setText(QStringLiteral("Exit"));
    MSHFlexGrid1 = placeControl<CatalogueGrid>(this, "MSHFlexGrid1", 120, 2640, 9615, 5415);
    MSHFlexGrid1->hide();

    setTabOrder(txtKeywords, cmdSearch);
    setTabOrder(cmdSearch, MSHFlexGrid1);
    setTabOrder(MSHFlexGrid1, cmdExit);

    catalogue::followFocusColours(txtKeywords);
    txtKeywords->installEventFilter(this);
    connect(cmdSearch, &QPushButton::clicked, this, &frmSearch::cmdSearch_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmSearch::cmdExit_Click);
    connect(MSHFlexGrid1, &CatalogueGrid::doubleClicked, this, &frmSearch::MSHFlexGrid1_DblClick);
}

frmSearch::~frmSearch() = default;

void frmSearch::Form_Load()
{
    setClientSizeTwips(8880, 8535);
    setLeftTwips(panelWidthTwips());
    setTopTwips(0);
    setHeightTwips(panelHeightTwips());
    txtKeywords->setFocus();
}

void frmSearch::Form_Unload()
{
    setPanelCatalogueButtonsVisible(false);
    if (loadedSharedWindow<frmSearch>() == this)
        forgetSharedWindow<frmSearch>();
}

bool frmSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtKeywords && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        lblMessage->hide();
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat())
            cmdSearch_Click();
    }
    return ChildWindow::eventFilter(watched, event);
}

void frmSearch::showMessage(const QString &text)
{
    lblMessage->setText(text);
    fitText(lblMessage);
    lblMessage->show();
}

void frmSearch::cmdSearch_Click()
{
    // One search at a time: Enter pressed again while one runs is not another search.
    if (m_searching)
        return;
    m_searching = true;
    const QPointer<frmSearch> self(this);
    std::shared_ptr<catalogue::CatalogueSnapshot> found;
    {
        WaitCursor wait;
        found = catalogue::CatalogueService::instance().search(txtKeywords->text());
        // The search runs on a worker; the interface keeps running while it does.
        found->waitUntilLoaded();
    }
    if (!self)
        return;
    m_searching = false;
    if (found->failure()) {
        // The window stays as it was, ready for another search.
        MessageBox::show(QStringLiteral("The catalogue could not be searched.\r\n") + found->failure()->description(),
                         QMessageBox::Ok, MessageBox::Icon::Warning);
        return;
    }
    if (found->rowCount() == 0) {
        // Whatever the grid shows stays, and so do the panel's buttons.
        showMessage(QStringLiteral("No match found."));
        return;
    }
    MSHFlexGrid1->setUpdatesEnabled(false);
    MSHFlexGrid1->setRows(std::move(found));
    MSHFlexGrid1->setColWidthTwips(0, 1980);
    MSHFlexGrid1->setColWidthTwips(1, 2370);
    MSHFlexGrid1->setColWidthTwips(2, 2325);
    MSHFlexGrid1->setHeaderBold(true);
    MSHFlexGrid1->setShading(true);
    MSHFlexGrid1->setUpdatesEnabled(true);
    MSHFlexGrid1->show();
    MSHFlexGrid1->setFocus();
    showMessage(QStringLiteral("Double click on filename to load picture."));
    setPanelCatalogueButtonsVisible(true);
}

void frmSearch::MSHFlexGrid1_DblClick()
{
    endAtFirstFailure([this] { catalogue::openCurrentRow(*MSHFlexGrid1, false); });
}

void frmSearch::cmdExit_Click()
{
    unload();
}

} // namespace pixdock
