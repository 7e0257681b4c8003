#pragma once
// What the program asks of the desktop, handed from the main window to every window and
// procedure that needs it, so that a test can build any of them with its own answers.

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"

#include <functional>

namespace platform {

struct Services {
    Prompts* prompts = nullptr;
    Clock* clock = nullptr;
    Folders folders;
    // Opens a file with the program the desktop associates with it (the shell's "open"); tests
    // answer in its place. Unset: the desktop's own.
    std::function<bool(const QString& path)> openFile;
    bool open(const QString& path) const { return openFile ? openFile(path) : openWithShell(path); }
};

} // namespace platform
