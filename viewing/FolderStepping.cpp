// Folder stepping.
#include "FolderStepping.h"

#include "FileService.h"
#include "FolderListing.h"
#include "Frame.h"
#include "MessageBox.h"
#include "ModGlobal.h"
#include "WindowList.h"
#include "clsFiles.h"
#include "frmViewer.h"

#include <exception>
#include <functional>
#include <initializer_list>

namespace pixdock::viewing {

namespace {
// Runs the steps in order; a step gives false to end the command. A failing step ends the
// command or is left out, as the policy says.
void runSteps(FailurePolicy policy, std::initializer_list<std::function<bool()>> steps)
{
    for (const auto &step : steps) {
        try {
            if (!step())
                return;
        } catch (const std::exception &) {
            if (policy == FailurePolicy::EndAtFirstFailure)
                return;
        }
    }
}

struct Step
{
    QString current; // the status panel's path
    QString folder;
    QString name;
    QString target; // the name stepped to
};

void splitCurrent(Step &s)
{
    clsFiles files;
    s.folder = files.GetParentDir(s.current).toString();
    s.name = files.GetFileName(s.current).toString();
}

// A folder deleted since its picture was shown has no files to step to: the viewer's own
// message for a missing folder says so, and nothing changes.
bool folderStillThere(const Step &s)
{
    if (s.folder.isEmpty() || fs::folderExists(s.folder))
        return true;
    MessageBox::show(QStringLiteral("File was not found"));
    return false;
}

bool setCurrentPath(Step &s)
{
    gCurrentPath = fs::joinPath(s.folder, s.target);
    return true;
}

bool replaceViewer()
{
    closeViewerAtPosition2();
    return true;
}

bool openViewer()
{
    frmViewer::openNew();
    return true;
}

// The status panel names the picture now current; when the new viewer stepped on past an
// unreadable file, that is the file it shows.
bool updateStatus()
{
    setFrameStatusText(gCurrentPath);
    return true;
}
} // namespace

void nextImage(FailurePolicy policy)
{
    Step s;
    runSteps(policy, {
        [&] {
            s.current = frameStatusText();
            return s.current != NoImageLoaded;
        },
        [&] {
            splitCurrent(s);
            return true;
        },
        [&] { return folderStillThere(s); },
        [&] {
            s.target = NextFileInFolder(s.folder, s.name);
            return true;
        },
        [&] {
            if (!s.target.isEmpty())
                return true;
            const QString question = QStringLiteral("No more files!") + QLatin1Char('\r')
                + QStringLiteral("Go to first image?");
            if (MessageBox::show(question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
                return false;
            QString folder = fs::joinPath(s.folder, QString());
            QString first;
            s.target = NextFileInFolder(folder, first);
            // A folder with no file left has nothing to go to.
            return !s.target.isEmpty();
        },
        [&] { return setCurrentPath(s); },
        replaceViewer,
        openViewer,
        updateStatus,
    });
}

void previousImage(FailurePolicy policy)
{
    Step s;
    runSteps(policy, {
        [&] {
            s.current = frameStatusText();
            splitCurrent(s);
            return true;
        },
        [&] { return folderStillThere(s); },
        [&] {
            s.target = PreviousFileInFolder(s.folder, s.name);
            return true;
        },
        [&] {
            if (s.target != FirstImageText)
                return true;
            MessageBox::show(FirstImageText);
            return false;
        },
        [&] { return !s.target.isEmpty(); },
        [&] { return setCurrentPath(s); },
        replaceViewer,
        openViewer,
        updateStatus,
    });
}

} // namespace pixdock::viewing
