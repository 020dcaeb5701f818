// Next Image and Previous Image: replacing the current picture with the next or previous file
// of its folder, found from the path in the frame's first status panel.
#pragma once

namespace pixdock::viewing {

// How a command deals with a failing step.
enum class FailurePolicy {
    SkipFailingSteps,  // leave the step out and go on (menu Next, toolbar Forward and Back, panel Next)
    EndAtFirstFailure, // end the command silently (menu and panel Previous)
};

// At the end of the folder asks "No more files!" / "Go to first image?".
void nextImage(FailurePolicy policy);
// At the start of the folder says "This is the first image!"; never wraps around.
void previousImage(FailurePolicy policy);

} // namespace pixdock::viewing
