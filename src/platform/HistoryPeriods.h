#pragma once
// How the History folder groups days, in the old Chinese browser's words: 今天, the
// weekday names for the earlier days of this week, 上周, then "N 周之前". Days are local
// calendar days counted from 1970-01-01, so a daylight-saving change never moves a visit
// to another day.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane::platform {

// The local calendar day of a moment (TZ rules of the process).
int64_t LocalDayOf(std::chrono::system_clock::time_point Time);
// The time from Time to the start of the next local calendar day.
std::chrono::milliseconds UntilNextDay(std::chrono::system_clock::time_point Time);
// 0 for Monday … 6 for Sunday.
int WeekdayOf(int64_t Day);

struct THistoryPeriod {
  int64_t FirstDay = 0;
  int64_t LastDay = 0;  // inclusive
  std::string Name;
};

// The periods that cover OldestDay … Today, oldest first and 今天 last. 今天 also takes
// days after Today (a clock that went back), so no visit falls outside every period.
std::vector<THistoryPeriod> HistoryPeriods(int64_t Today, int64_t OldestDay);

}  // namespace vorlane::platform
