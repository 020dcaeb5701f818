// Help > About: the one shared about box, modal over its owner.
#include "AboutBox.h"

#include "WindowList.h"
#include "frmAbout.h"

namespace pixdock::about {

void showAboutBox(QWidget *owner)
{
    frmAbout *box = loadedSharedWindow<frmAbout>();
    if (!box) {
        box = new frmAbout(owner);
        WindowList::instance().setSharedInstance(typeid(frmAbout), box);
        box->load();
    }
    // The dialog centres itself over its owner when it is shown, and unloads itself when
    // it closes (OK, Enter, Esc or the title bar).
    box->exec();
}

} // namespace pixdock::about
