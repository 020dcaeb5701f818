// Start-up of the viewing library.
#include "ViewingSetup.h"

#include "PictureLoader.h"
#include "ViewerOpening.h"
#include "frmViewer.h"

namespace pixdock::viewing {

void installViewerOpeners()
{
    raisePictureMemoryLimit();
    viewers::setOpeners([](bool bringToFront) -> QWidget * { return frmViewer::openNew(bringToFront); },
                        []() -> QWidget * { return frmViewer::openShared(); });
}

} // namespace pixdock::viewing
