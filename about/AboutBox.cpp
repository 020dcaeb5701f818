// Placeholder until the about box exists.
#include "AboutBox.h"

namespace pixdock::about {

void showAboutBox(QWidget *) {}

} // namespace pixdock::about
