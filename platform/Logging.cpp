#include "platform/Logging.h"

namespace platform {
Q_LOGGING_CATEGORY(lcPlatform, "turnova.platform", QtInfoMsg)
}
