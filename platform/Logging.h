#pragma once
// The logging category of the platform services ("turnova.platform"); debug output is off
// unless switched on with QT_LOGGING_RULES.

#include <QLoggingCategory>

namespace platform {
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
}
