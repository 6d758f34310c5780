#include "Clock.h"

namespace {
std::function<QDateTime()> &source()
{
    static std::function<QDateTime()> s;
    return s;
}
} // namespace

QDateTime wallClock(const QDate &date, const QTime &time)
{
    return QDateTime(date, time, Qt::UTC);
}

QDateTime Clock::now()
{
    if (source())
        return source()();
    const QDateTime local = QDateTime::currentDateTime();
    const QTime t = local.time();
    // Whole seconds: the stored form has no fractions, and values read back must compare equal.
    return wallClock(local.date(), QTime(t.hour(), t.minute(), t.second()));
}

void Clock::setSource(std::function<QDateTime()> s)
{
    source() = std::move(s);
}

void Clock::setFixed(const QDateTime &moment)
{
    setSource([moment] { return moment; });
}
