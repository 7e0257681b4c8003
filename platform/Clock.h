#pragma once
// "Today" for the whole program. The program uses the system clock; tests set a fixed day.

#include <QDate>
#include <QDateTime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const; // local wall-clock time, returned as Qt::UTC without shift
    QDate today() const { return now().date(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime now) : now_(std::move(now)) {}
    explicit FixedClock(QDate today) : now_(today, QTime(12, 0), Qt::UTC) {}
    QDateTime now() const override { return now_; }
    void set(QDateTime now) { now_ = std::move(now); }
    void set(QDate today) { now_ = QDateTime(today, QTime(12, 0), Qt::UTC); }

private:
    QDateTime now_;
};

} // namespace platform
