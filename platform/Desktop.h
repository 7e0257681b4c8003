#pragma once
// The desktop's clipboard, opening a file with its program, and keeping a window on top.

#include <QString>

class QWidget;

namespace platform {

// Opens the file with the program the desktop associates with it (through xdg-open where there
// is one); false when the desktop has no program for it or the program could not start.
bool openWithShell(const QString& path);

QString clipboardText();
void setClipboardText(const QString& text);

// Puts the window into (or takes it out of) the always-on-top band; position, size and
// visibility stay as they were.
void setTopmost(QWidget* window, bool flag);

} // namespace platform
