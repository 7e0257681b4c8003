#pragma once
// What the program asks of the desktop, handed from the main window to every window and
// procedure that needs it, so that a test can build any of them with its own answers.

#include "platform/Clock.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"

namespace platform {

struct Services {
    Prompts* prompts = nullptr;
    Clock* clock = nullptr;
    Folders folders;
};

} // namespace platform
