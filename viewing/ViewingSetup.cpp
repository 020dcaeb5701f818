// Placeholder until the viewer window exists.
#include "ViewingSetup.h"

namespace pixdock::viewing {

void installViewerOpeners() {}

} // namespace pixdock::viewing
