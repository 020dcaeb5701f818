// Help > About: the about box, modal over its owner.
#pragma once

class QWidget;

namespace pixdock::about {

void showAboutBox(QWidget *owner);

} // namespace pixdock::about
