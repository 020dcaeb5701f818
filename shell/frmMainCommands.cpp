// The main window's menu and toolbar commands.
#include "frmMain.h"

#include "AboutBox.h"
#include "BrowserModule.h"
#include "EditCommands.h"
#include "HelpLauncher.h"
#include "Locations.h"
#include "MessageBox.h"
#include "RunTimeError.h"

#include <QApplication>
#include <QStatusBar>
#include <QToolBar>

#include <array>

namespace pixdock {

namespace {
std::array<frmMain::CommandHandler, size_t(frmMain::Command::ToolbarForward) + 1> &handlers()
{
    static std::array<frmMain::CommandHandler, size_t(frmMain::Command::ToolbarForward) + 1> table;
    return table;
}

void placeholder(const char *handler)
{
    MessageBox::show(QStringLiteral("Add '%1' code.").arg(QLatin1String(handler)));
}
} // namespace

void frmMain::setCommandHandler(Command command, CommandHandler handler)
{
    handlers()[size_t(command)] = std::move(handler);
}

void frmMain::clearCommandHandlers() { handlers().fill(nullptr); }

// A command's own failures end it; none may escape into the event loop.
void frmMain::runCommand(Command command)
{
    const CommandHandler handler = handlers()[size_t(command)];
    if (handler)
        endAtFirstFailure([&] { handler(*this); });
}

void frmMain::mnuFileOpen_Click() { runCommand(Command::FileOpen); }
void frmMain::mnuFileProperties_Click() { runCommand(Command::FileProperties); }
void frmMain::mnuFilePrint_Click() { runCommand(Command::FilePrint); }
void frmMain::mnuFileExit_Click() { close(); }

void frmMain::mnuEditUndo_Click() { placeholder("mnuEditUndo_Click"); }
void frmMain::mnuEditCut_Click() { edit::cutSelection(QApplication::focusWidget()); }
void frmMain::mnuEditCopy_Click() { edit::copySelection(QApplication::focusWidget()); }
void frmMain::mnuEditPaste_Click() { edit::pasteText(QApplication::focusWidget()); }
void frmMain::mnuEditPasteSpecial_Click() { placeholder("mnuEditPasteSpecial_Click"); }

void frmMain::mnuViewToolbar_Click()
{
    tbToolBar->setVisible(menuItem(QStringLiteral("mnuViewToolbar"))->isChecked());
}

void frmMain::mnuViewStatusBar_Click()
{
    sbStatusBar->setVisible(menuItem(QStringLiteral("mnuViewStatusBar"))->isChecked());
}

void frmMain::mnuViewRefresh_Click() { placeholder("mnuViewRefresh_Click"); }
void frmMain::mnuViewOptions_Click() { placeholder("mnuViewOptions_Click"); }

void frmMain::mnuViewWebBrowser_Click()
{
    endAtFirstFailure([] { browser_module::openBrowserWindow(); });
}

void frmMain::mnuAdd_Click() { runCommand(Command::Add); }
void frmMain::mnuDelete_Click() { runCommand(Command::Delete); }
void frmMain::mnuPrev_Click() { runCommand(Command::Previous); }
void frmMain::mnuNext_Click() { runCommand(Command::Next); }
void frmMain::mnuSearch_Click() { runCommand(Command::Search); }
void frmMain::mnuDatafrmImgList_Click() { runCommand(Command::ViewImageList); }

void frmMain::mnuWindowCascade_Click() { arrange(Arrangement::Cascade); }
void frmMain::mnuWindowTileHorizontal_Click() { arrange(Arrangement::TileHorizontal); }
void frmMain::mnuWindowTileVertical_Click() { arrange(Arrangement::TileVertical); }
void frmMain::mnuWindowArrangeIcons_Click() { arrange(Arrangement::ArrangeIcons); }

void frmMain::showHelp(void (*call)())
{
    if (locations::helpCollectionFile().isEmpty()) {
        MessageBox::show(QStringLiteral("Unable to display Help Contents. There is no Help associated "
                                        "with this project."),
                         QMessageBox::Ok, MessageBox::Icon::Information, windowTitle());
        return;
    }
    handleFailure(call, [](const RunTimeError &e) { MessageBox::show(e.description()); });
}

void frmMain::mnuHelpContents_Click() { showHelp(&help::showHelpContents); }
void frmMain::mnuHelpSearchForHelpOn_Click() { showHelp(&help::showHelpIndex); }

void frmMain::mnuHelpAbout_Click()
{
    endAtFirstFailure([this] { about::showAboutBox(this); });
}

void frmMain::tbToolBar_ButtonClick(const QString &key)
{
    if (key == QLatin1String("Open"))
        mnuFileOpen_Click();
    else if (key == QLatin1String("Back"))
        runCommand(Command::ToolbarBack);
    else if (key == QLatin1String("Forward"))
        runCommand(Command::ToolbarForward);
    else if (key == QLatin1String("Delete"))
        mnuDelete_Click();
    else if (key == QLatin1String("Find"))
        mnuSearch_Click();
    else if (key == QLatin1String("Properties"))
        mnuFileProperties_Click();
    else if (key == QLatin1String("Help"))
        mnuHelpContents_Click();
}

} // namespace pixdock
