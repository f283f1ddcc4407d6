#include "library/time_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "library/clock.h"

namespace kibolt {
namespace {

TEST(FormatDateTime, PrintsYearFromTwoThousandAndPadsFields) {
    struct Case {
        LocalTime t;
        const char* text;
    } cases[] = {
        {{2005, 6, 1, 20, 15, 0}, "05/06/01-20:15:00"},
        {{2000, 1, 1, 0, 0, 0}, "00/01/01-00:00:00"},
        {{2099, 12, 31, 23, 59, 59}, "99/12/31-23:59:59"},
        {{2100, 1, 2, 3, 4, 5}, "100/01/02-03:04:05"},      // later years print three digits
        {{1999, 12, 31, 23, 59, 59}, "-1/12/31-23:59:59"},  // a clock set before 2000
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.t), c.text) << c.text;
}

TEST(FormatDateTime, ExtremeYearsDoNotOverflow) {
    LocalTime t;
    t.year = std::numeric_limits<int>::min();
    EXPECT_EQ(FormatDateTime(t), "-2147485648/01/01-00:00:00");
}

TEST(FormatDuration, SplitsSecondsIntoHoursMinutesSeconds) {
    struct Case {
        int32_t seconds;
        const char* text;
    } cases[] = {
        {0, "000:00:00"},
        {5430, "001:30:30"},
        {59, "000:00:59"},
        {3599, "000:59:59"},
        {3600, "001:00:00"},
        {3600000, "1000:00:00"},  // four hour digits
        // Negative: quotient and remainders keep the sign, field by field.
        {-65, "000:-1:-5"},
        {-3600, "-01:00:00"},
        {-3661, "-01:-1:-1"},
        {std::numeric_limits<int32_t>::max(), "596523:14:07"},
        {std::numeric_limits<int32_t>::min(), "-596523:-14:-8"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDuration(c.seconds), c.text) << c.seconds;
}

TEST(TruncateSeconds, TowardZeroSaturatedNanIsZero) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        int32_t seconds;
    } cases[] = {
        {12.9, 12},
        {-12.9, -12},
        {0.5, 0},
        {-0.5, 0},
        {2147483647.9, 2147483647},
        {1e12, 2147483647},
        {-1e12, std::numeric_limits<int32_t>::min()},
        {kInf, 2147483647},
        {-kInf, std::numeric_limits<int32_t>::min()},
        {std::nan(""), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TruncateSeconds(c.value), c.seconds) << c.value;
}

TEST(AddDurations, CarriesSecondsAndMinutes) {
    struct Case {
        const char *a, *b, *sum;
    } cases[] = {
        {"001:30:30", "000:40:00", "002:10:30"},
        {"000:59:59", "000:00:01", "001:00:00"},
        {"999:59:59", "000:00:01", "1000:00:00"},
        // An empty previous total: the other duration, normalised by the carries.
        {"", "000:40:00", "000:40:00"},
        {"", "000:00:75", "000:01:15"},
        {"", "", "000:00:00"},
        // Parts are not range checked; the sum carries them.
        {"000:90:90", "000:00:00", "001:31:30"},
        // No ":" is seconds; one ":" is hours and seconds.
        {"125", "0", "000:02:05"},
        {"2:30", "", "002:00:30"},
        // Parts read like atoi: blanks, signs, trailing garbage, garbage as 0.
        {" 1x: 2y: 3z", "abc", "001:02:03"},
        {"1:2:3:4", "", "001:02:03"},
        // Negative parts carry with the sign of their sum.
        {"000:00:10", "000:00:-70", "000:-1:00"},
        {"000:-1:-5", "000:01:05", "000:00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(AddDurations(c.a, c.b), c.sum) << c.a << " + " << c.b;
}

TEST(AddDurations, SumsPastThirtyTwoBitsArePrintedWhole) {
    EXPECT_EQ(AddDurations("2147483647:59:59", "1:0:1"), "2147483649:00:00");
    EXPECT_EQ(AddDurations("-2147483648:-59:-59", "-2147483648:0:-1"), "-4294967297:00:00");
    // A part beyond 32 bits is pinned when read.
    EXPECT_EQ(AddDurations("99999999999:00:00", "0"), "2147483647:00:00");
}

TEST(AddCounts, AddsAtoiValues) {
    struct Case {
        const char *a, *b, *sum;
    } cases[] = {
        {"523", "210", "733"},
        {"", "5", "5"},
        {"", "", "0"},
        {"12abc", " 3", "15"},
        {"-7", "2", "-5"},
        {"2147483647", "1", "2147483648"},
        {"-2147483648", "-1", "-2147483649"},
        {"99999999999", "0", "2147483647"},
    };
    for (const Case& c : cases) EXPECT_EQ(AddCounts(c.a, c.b), c.sum) << c.a << " + " << c.b;
}

TEST(TimeText, DateTimeTextsReadBackOnlyWhenWellFormed) {
    struct Case {
        const char* text;
        bool readable;
        LocalTime t;
    };
    const Case cases[] = {
        {"26/12/09-23:59:59", true, {2026, 12, 9, 23, 59, 59}},
        {"05/06/01-20:15:00", true, {2005, 6, 1, 20, 15, 0}},
        {"100/01/01-00:00:00", true, {2100, 1, 1, 0, 0, 0}},
        {"24/02/29-10:00:00", true, {2024, 2, 29, 10, 0, 0}},
        {"25/02/29-10:00:00", false, {}},  // no 29th in 2025
        {"00/02/29-10:00:00", true, {2000, 2, 29, 10, 0, 0}},
        {"26/04/31-10:00:00", false, {}},
        {"26/13/01-10:00:00", false, {}},
        {"26/00/01-10:00:00", false, {}},
        {"26/12/09-24:00:00", false, {}},
        {"26/12/09-23:60:00", false, {}},
        {"26/12/09-23:59:60", false, {}},
        {"26/12/09-23:59", false, {}},
        {"26/12/09-23:59:59 ", false, {}},
        {"-30/01/01-00:00:00", false, {}},  // before 2000: a clock that was wrong
        {"1000/01/01-00:00:00", false, {}},
        {"26-12-09-23:59:59", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        std::optional<LocalTime> t = ParseDateTime(c.text);
        ASSERT_EQ(t.has_value(), c.readable) << c.text;
        if (t) {
            EXPECT_EQ(FormatDateTime(*t), c.text);
        }
    }
}

TEST(TimeText, DurationsInSecondsAndLongTotals) {
    EXPECT_EQ(DurationSeconds("001:30:30"), 5430);
    EXPECT_EQ(DurationSeconds("000:-1:-5"), -65);
    EXPECT_EQ(DurationSeconds(""), 0);
    EXPECT_EQ(DurationSeconds("90"), 90);  // no colon: seconds
    EXPECT_EQ(FormatLongDuration(0), "000:00:00");
    EXPECT_EQ(FormatLongDuration(int64_t{3000000} * 3600 + 61), "3000000:01:01");
}

TEST(SystemClock, ConvertsStampsToLocalTime) {
    // Pin the zone so the stamp has one known local time; restore it afterwards.
    const char* saved = std::getenv("TZ");
    const std::string savedZone = saved ? saved : "";
    setenv("TZ", "UTC0", 1);
    tzset();

    SystemClock clock;
    const LocalTime t = clock.ToLocal(1117656900);
    EXPECT_EQ(FormatDateTime(t), "05/06/01-20:15:00");
    EXPECT_EQ(FormatDateTime(clock.ToLocal(0)), "-30/01/01-00:00:00");
    // A stamp the C library cannot convert gives the default, not a crash.
    EXPECT_EQ(clock.ToLocal(std::numeric_limits<int64_t>::max()).year, 1970);
    EXPECT_GT(clock.Now(), 1117656900);

    if (saved) {
        setenv("TZ", savedZone.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
}  // namespace kibolt
