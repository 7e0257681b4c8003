#pragma once
// The services for a main window under test: a temporary folder with a program and an
// application-data folder, scripted prompts and a fixed "today". The database file is not
// created; the window's start-up does that.

#include "platform/Clock.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Services.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>

namespace testing {

struct TestDesk {
    explicit TestDesk(const QDate& today = QDate(2026, 12, 6));

    // Where the window's database lives.
    QString db() const;

    QTemporaryDir dir;
    platform::ScriptedPrompts prompts;
    platform::FixedClock clock;
    platform::Services services;
};

} // namespace testing
