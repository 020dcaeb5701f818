// Key codes as the program reports them: the platform-neutral virtual-key numbers (letters and
// digits are their upper-case character codes, F1 is 112, Enter 13...).
#pragma once

namespace pixdock::keys {

// The virtual-key number of a Qt key; keys without one keep their Qt code.
int virtualKeyCode(int qtKey);

} // namespace pixdock::keys
