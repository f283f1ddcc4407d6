// A Clock the test sets by hand. Local time is taken to be UTC, so a stamp and
// its date-time text follow from each other without the C library's time zone.
// Set and Advance move the wall clock and the unbiased clock together, as
// time passing does; SetWall (the clock set by hand or synchronised) and
// Sleep (the computer asleep) move the wall clock alone.
#pragma once
#include <cstdint>

#include "library/clock.h"

namespace kibolt::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(int64_t now = 0) : now_(now) {}

    int64_t Now() const override { return now_; }
    int64_t UnbiasedMs() const override { return unbiasedMs_; }
    void Set(int64_t now) { Advance(now - now_); }
    void Advance(int64_t seconds) {
        now_ += seconds;
        unbiasedMs_ += seconds * 1000;
    }
    void AdvanceMs(int64_t ms) {  // wall seconds follow the running milliseconds
        const int64_t before = unbiasedMs_;
        unbiasedMs_ += ms;
        now_ += FloorDiv(unbiasedMs_, 1000) - FloorDiv(before, 1000);
    }
    void SetWall(int64_t now) { now_ = now; }
    void Sleep(int64_t seconds) { now_ += seconds; }

    LocalTime ToLocal(int64_t stamp) const override {
        int64_t days = stamp / 86400, rest = stamp % 86400;
        if (rest < 0) {
            rest += 86400;
            --days;
        }
        // Civil date from days since 1970-01-01 (proleptic Gregorian).
        days += 719468;
        const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
        const int64_t dayOfEra = days - era * 146097;
        const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const int64_t mp = (5 * dayOfYear + 2) / 153;
        const int64_t month = mp < 10 ? mp + 3 : mp - 9;
        LocalTime t;
        t.year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
        t.month = static_cast<int>(month);
        t.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
        t.hour = static_cast<int>(rest / 3600);
        t.minute = static_cast<int>(rest / 60 % 60);
        t.second = static_cast<int>(rest % 60);
        return t;
    }

private:
    static int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

    int64_t now_;
    int64_t unbiasedMs_ = 0;
};

// The stamp of a UTC date and time.
inline int64_t StampOf(int year, int month, int day, int hour, int minute, int second) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

}  // namespace kibolt::test
