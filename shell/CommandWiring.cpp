// Command handlers of the main window and the control panel: the menus, the toolbar and the
// panel's buttons reach the same commands of the viewing and catalogue libraries, each with
// the failure policy of the place it is run from.
#include "CommandWiring.h"

#include "CatalogueStepping.h"
#include "FileCommands.h"
#include "FolderStepping.h"
#include "frmAdd.h"
#include "frmDelete.h"
#include "frmImgList.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "frmSearch.h"
#include "frmThumbnails.h"
#include "WindowList.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace pixdock {

namespace {

template<class Window>
void showShared(bool bringToFront)
{
    Window *window = sharedWindow<Window>();
    window->showWindow();
    if (bringToFront)
        window->bringToFront();
}

void openImageList()
{
    auto *list = new frmImgList;
    list->load();
    list->showWindow();
}

void installMainWindowHandlers()
{
    using C = frmMain::Command;
    using viewing::FailurePolicy;
    frmMain::setCommandHandler(C::FileOpen, [](frmMain &main) {
        viewing::openPictureCommand(main.commonDialog(), false);
    });
    frmMain::setCommandHandler(C::FileProperties, [](frmMain &) { viewing::pictureProperties(); });
    frmMain::setCommandHandler(C::FilePrint, [](frmMain &main) {
        viewing::printPicture(main.commonDialog(), main.childArea()->activeSubWindow());
    });
    frmMain::setCommandHandler(C::Add, [](frmMain &) { showShared<frmAdd>(false); });
    frmMain::setCommandHandler(C::Delete, [](frmMain &) { showShared<frmDelete>(false); });
    frmMain::setCommandHandler(C::Search, [](frmMain &) { showShared<frmSearch>(false); });
    frmMain::setCommandHandler(C::ViewImageList, [](frmMain &) { openImageList(); });
    frmMain::setCommandHandler(C::Next, [](frmMain &) { viewing::nextImage(FailurePolicy::SkipFailingSteps); });
    frmMain::setCommandHandler(C::Previous, [](frmMain &) {
        viewing::previousImage(FailurePolicy::EndAtFirstFailure);
    });
    frmMain::setCommandHandler(C::ToolbarForward, [](frmMain &) {
        viewing::nextImage(FailurePolicy::SkipFailingSteps);
    });
    frmMain::setCommandHandler(C::ToolbarBack, [](frmMain &) {
        viewing::previousImage(FailurePolicy::SkipFailingSteps);
    });
}

void installPanelHandlers()
{
    using C = frmOptions::Command;
    using viewing::FailurePolicy;
    frmOptions::setCommandHandler(C::Open, [](frmOptions &panel) {
        viewing::openPictureCommand(panel.browseDialog(), true);
    });
    frmOptions::setCommandHandler(C::Next, [](frmOptions &) {
        viewing::nextImage(FailurePolicy::SkipFailingSteps);
    });
    frmOptions::setCommandHandler(C::Previous, [](frmOptions &) {
        viewing::previousImage(FailurePolicy::EndAtFirstFailure);
    });
    frmOptions::setCommandHandler(C::Add, [](frmOptions &) { showShared<frmAdd>(false); });
    frmOptions::setCommandHandler(C::Delete, [](frmOptions &) { showShared<frmDelete>(false); });
    frmOptions::setCommandHandler(C::Search, [](frmOptions &) { showShared<frmSearch>(true); });
    frmOptions::setCommandHandler(C::ShowAll, [](frmOptions &) { showShared<frmImgList>(true); });
    frmOptions::setCommandHandler(C::ViewNextList, [](frmOptions &) { catalogue::stepCatalogueForward(); });
    frmOptions::setCommandHandler(C::ViewPrevList, [](frmOptions &) { catalogue::stepCatalogueBackward(); });
    frmOptions::setCommandHandler(C::Thumbnails, [](frmOptions &) { frmThumbnails::showShared(); });
}

} // namespace

void installCommandHandlers()
{
    installMainWindowHandlers();
    installPanelHandlers();
}

} // namespace pixdock
