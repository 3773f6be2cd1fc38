// The local wall clock, to the minute.
#pragma once

struct LocalMinute {
    int year = 0;  // Gregorian, e.g. 2026
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalMinute now() const = 0;
};
