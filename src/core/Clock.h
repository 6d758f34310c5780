#pragma once

#include <QDate>
#include <QDateTime>

#include <functional>

// The one source of "today" and "now" for every rule that depends on the date (numbering by year, due
// dates, days overdue, the SQL function Now()). Date-times are wall-clock values without a time zone,
// held as QDateTime in Qt::UTC so that day arithmetic never meets a daylight-saving jump.
class Clock {
public:
    static QDateTime now();
    static QDate today() { return now().date(); }

    // Tests stand on any day; an empty function restores the system clock.
    static void setSource(std::function<QDateTime()> source);
    static void setFixed(const QDateTime &moment);
};

// A wall-clock date and time as the program stores it (time zone free).
QDateTime wallClock(const QDate &date, const QTime &time = QTime(0, 0));
