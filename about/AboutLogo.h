// Pixdock's logo as the about box shows it, drawn so it needs no picture file.
#pragma once

#include <QPixmap>

namespace pixdock::about {

// A stack of two photographs, the front one showing hills under a sun; 112 by 86 pixels.
QPixmap aboutLogo();

} // namespace pixdock::about
