#pragma once
// The pictures of the preview's toolbar keys: a printer, a letter for the font, and a sheet
// upright or on its side.

#include <QIcon>

namespace print {

QIcon printIcon();
QIcon fontIcon();
QIcon paperIcon(bool landscape);

} // namespace print
