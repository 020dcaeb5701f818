// The catalogue list window.
#include "frmImgList.h"

#include "CatalogueGrid.h"
#include "CatalogueOpening.h"
#include "CatalogueService.h"
#include "CatalogueSnapshot.h"
#include "CatalogueSnapshotFeed.h"
#include "Frame.h"
#include "ImgListLayout.h"
#include "MessageBox.h"
#include "RunTimeError.h"
#include "Twips.h"
#include "WaitCursor.h"
#include "WindowList.h"

#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>

namespace pixdock {

using catalogue::CatalogueGrid;

namespace {
const QSize CloseButtonSize(1080, 420); // twips
} // namespace

frmImgList::frmImgList()
{
    setObjectName(QStringLiteral("frmImgList"));
    setWindowTitle(caption::ImageList);

    MSHFlexGrid1 = new CatalogueGrid(this);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setGeometry(twips::rectToPixels(120, 60, 6360, 3840));
    MSHFlexGrid1->setColumnsMovable(true);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(twips::rectToPixels(120, 3960, CloseButtonSize.width(), CloseButtonSize.height()));

    connect(cmdClose, &QPushButton::clicked, this, &frmImgList::cmdClose_Click);
    connect(MSHFlexGrid1, &CatalogueGrid::doubleClicked, this, &frmImgList::MSHFlexGrid1_DblClick);
}

frmImgList::~frmImgList() = default;

void frmImgList::Form_Load()
{
    // As wide as designed, as tall as the control panel, just right of it.
    setClientSizeTwips(6675, 5130);
    const int border = heightTwips() - clientHeightTwips();
    if (panelHeightTwips() > border)
        setClientSizeTwips(6675, panelHeightTwips() - border);
    setLeftTwips(panelWidthTwips());
    setTopTwips(0);
    Form_Resize();
    loadCatalogue();
}

void frmImgList::loadCatalogue()
{
    // The rows are copied on a worker: the window shows at once, rows not copied yet as loading.
    std::shared_ptr<catalogue::CatalogueSnapshot> rows = catalogue::CatalogueService::instance().loadList();
    connect(rows.get(), &catalogue::CatalogueSnapshot::loaded, this, [this, rows = std::weak_ptr(rows)] {
        if (const auto snapshot = rows.lock(); snapshot && snapshot->failure())
            reportFailure(*snapshot->failure());
    });
    MSHFlexGrid1->setUpdatesEnabled(false);
    MSHFlexGrid1->setRows(rows);
    // Fixed at load; a later resize of the window leaves them alone.
    const auto widths = catalogue::imgListColumnWidths(twips::fromPixels(MSHFlexGrid1->width()));
    for (int c = 0; c < 3; ++c)
        MSHFlexGrid1->setColWidthTwips(c, widths[size_t(c)]);
    MSHFlexGrid1->setHeaderBold(true);
    MSHFlexGrid1->setShading(true);
    MSHFlexGrid1->setUpdatesEnabled(true);
    // The row count comes with the first screen: the window opens with both, so that stepping
    // and the thumbnails know the count. The event loop runs meanwhile.
    const QPointer<frmImgList> self(this);
    {
        WaitCursor wait;
        rows->waitForFirstScreen(catalogue::SnapshotFeed::FirstScreenRows);
    }
    // A catalogue that could not be read gives no rows to step through.
    if (self && !(rows->failure() && rows->rowCount() == 0))
        setPanelCatalogueButtonsVisible(true);
}

void frmImgList::reportFailure(const RunTimeError &e)
{
    // The window keeps what was copied before the failure and can be closed as usual.
    MessageBox::show(QStringLiteral("The catalogue list could not be loaded.\r\n") + e.description(),
                     QMessageBox::Ok, MessageBox::Icon::Warning);
}

void frmImgList::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    Form_Resize();
}

void frmImgList::Form_Resize()
{
    const catalogue::ImgListPlaces places =
        catalogue::imgListPlaces(clientWidthTwips(), clientHeightTwips(), CloseButtonSize);
    const QRect b = places.button;
    cmdClose->setGeometry(twips::rectToPixels(b.x(), b.y(), b.width(), b.height()));
    // A window too small for the grid leaves it where it was.
    if (places.grid) {
        const QRect g = *places.grid;
        MSHFlexGrid1->setGeometry(twips::rectToPixels(g.x(), g.y(), g.width(), g.height()));
    }
}

void frmImgList::Form_Unload()
{
    setPanelCatalogueButtonsVisible(false);
    // Any list window that closes makes the next "Show Image List" load a fresh one.
    forgetSharedWindow<frmImgList>();
}

void frmImgList::MSHFlexGrid1_DblClick()
{
    endAtFirstFailure([this] { catalogue::openCurrentRow(*MSHFlexGrid1, true); });
}

void frmImgList::cmdClose_Click()
{
    unload();
}

} // namespace pixdock
