// The program's entry: splash, main window, event loop.
#pragma once

namespace pixdock {

int Main(int argc, char **argv);

} // namespace pixdock
