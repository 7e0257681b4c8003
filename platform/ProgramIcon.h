#pragma once
// The program's icon, the one the desktop entry names, for the windows and the about window.

#include <QIcon>

namespace platform {

// The icon in its PNG sizes from 16 to 256 pixels, compiled into the program.
QIcon programIcon();

} // namespace platform
