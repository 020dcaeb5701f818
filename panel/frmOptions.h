// The control panel: a narrow, fixed tool window at the top left of the frame holding a
// column of large buttons for the main commands.
#pragma once

#include "ChildWindow.h"
#include "CommonDialog.h"
#include "Frame.h"

#include <functional>

class QPushButton;

namespace pixdock {

class frmOptions : public ChildWindow, public Panel
{
    Q_OBJECT
public:
    // The panel's commands, carried out by the viewing and catalogue libraries; the start-up
    // wiring installs their handlers.
    enum class Command {
        Open,         // cmdOpen: open a picture with the panel's own dialog (browseDialog())
        Next,         // cmdNext
        Previous,     // cmdPrevious
        Add,          // cmdAdd (after the focus has moved to cmdNext)
        Delete,       // cmdDelete
        Search,       // cmdSearch: show the search window and bring it to the front
        ShowAll,      // cmdShowAll: show the catalogue list and bring it to the front
        ViewNextList, // cmdViewNextList
        ViewPrevList, // cmdViewPrevList
        Thumbnails,   // cmdThumbnails
    };
    using CommandHandler = std::function<void(frmOptions &)>;
    // Installs (or, with an empty handler, removes) a command's handler for every panel.
    static void setCommandHandler(Command command, CommandHandler handler);
    static void clearCommandHandlers();

    frmOptions();

    // Panel
    int widthTwips() const override { return ChildWindow::widthTwips(); }
    int heightTwips() const override { return ChildWindow::heightTwips(); }
    void setCatalogueButtonsVisible(bool visible) override;
    bool catalogueButtonsVisible() const override;

    // The panel's own file-open dialog, used by Open Image.
    CommonDialog &browseDialog() { return dlgBrowse; }

    void cmdOpen_Click();
    void cmdNext_Click();
    void cmdPrevious_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdSearch_Click();
    void cmdShowAll_Click();
    void cmdViewNextList_Click();
    void cmdViewPrevList_Click();
    void cmdThumbnails_Click();
    void Command1_Click();

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_KeyUp(int keyCode);
    QPushButton *addButton(const char *name, const char *caption, const char *tooltip, int top,
                           int height, void (frmOptions::*handler)());
    void runCommand(Command command);

    QPushButton *cmdOpen;
    QPushButton *cmdNext;
    QPushButton *cmdPrevious;
    QPushButton *cmdAdd;
    QPushButton *cmdDelete;
    QPushButton *cmdShowAll;
    QPushButton *cmdSearch;
    QPushButton *cmdViewNextList;
    QPushButton *cmdViewPrevList;
    QPushButton *cmdThumbnails;
    QPushButton *Command1;
    CommonDialog dlgBrowse;
};

} // namespace pixdock
