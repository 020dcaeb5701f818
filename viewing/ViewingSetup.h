// Start-up of the viewing library: installs the viewer openers the other windows use.
#pragma once

namespace pixdock::viewing {

void installViewerOpeners();

} // namespace pixdock::viewing
