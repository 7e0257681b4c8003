#include "platform/Clock.h"

namespace platform {

QDateTime Clock::now() const {
    // The program keeps every date/time as Qt::UTC without a time zone: the wall-clock reading
    // is taken over as it is, not converted.
    const QDateTime local = QDateTime::currentDateTime();
    return QDateTime(local.date(), local.time(), Qt::UTC);
}

} // namespace platform
