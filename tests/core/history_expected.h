// The four sessions of the chart examples and what "データをコピー" gives for
// them, shared by the native and the window tests.
#pragma once
#include <string>

namespace kibolt::test {

inline const std::string kChartGameLog =
    "C:\\G\\chart.exe\r\n"
    "26/12/01-20:00:00,26/12/01-21:30:00,001:30:00,001:30:00,001:00:00,001:00:00,10,10,\r\n"
    "26/12/01-22:00:00,26/12/01-22:30:00,000:30:00,002:00:00,000:30:00,001:30:00,5,15,\r\n"
    "26/12/03-23:00:00,26/12/04-01:00:00,002:00:00,004:00:00,001:00:00,002:30:00,7,22,over midnight\r\n"
    "27/01/05-10:00:00,27/01/05-11:00:00,001:00:00,005:00:00,000:45:00,003:15:00,3,25,\r\n"
    "=====Comment_Start====\r\n";

inline const std::string kChartHeader = "期間\tプレイ時間\tアクティブ時間\tプレイ回数\r\n";

inline const std::string kChartByMonth = kChartHeader +
                                         "2026/12\t004:00:00\t002:30:00\t3\r\n"
                                         "2027/01\t001:00:00\t000:45:00\t1\r\n";

inline const std::string kChartByYear = kChartHeader +
                                        "2026\t004:00:00\t002:30:00\t3\r\n"
                                        "2027\t001:00:00\t000:45:00\t1\r\n";

// Days: 2026/12/01 to 2027/01/05, the empty ones included.
inline std::string ChartByDay() {
    std::string text = kChartHeader;
    auto empty = [&text](const std::string& label) { text += label + "\t000:00:00\t000:00:00\t0\r\n"; };
    text += "2026/12/01\t002:00:00\t001:30:00\t2\r\n";
    empty("2026/12/02");
    text += "2026/12/03\t001:00:00\t000:30:00\t1\r\n";
    text += "2026/12/04\t001:00:00\t000:30:00\t0\r\n";
    for (int day = 5; day <= 31; ++day) empty("2026/12/" + std::string(day < 10 ? "0" : "") + std::to_string(day));
    for (int day = 1; day <= 4; ++day) empty("2027/01/0" + std::to_string(day));
    text += "2027/01/05\t001:00:00\t000:45:00\t1\r\n";
    return text;
}

}  // namespace kibolt::test
