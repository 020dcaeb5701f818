#include "Startup.h"

namespace pixdock {

int Main(int, char **) { return 0; }

} // namespace pixdock
