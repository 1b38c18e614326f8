#include "platform/HistoryPeriods.h"

#include <ctime>
#include <limits>

namespace vorlane::platform {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t Y, unsigned M, unsigned D) {
  Y -= M <= 2;
  const int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
  const auto Yoe = static_cast<unsigned>(Y - Era * 400);
  const unsigned Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const unsigned Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  return Era * 146097 + static_cast<int64_t>(Doe) - 719468;
}

const char* const WeekdayNames[] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};

}  // namespace

std::chrono::milliseconds UntilNextDay(std::chrono::system_clock::time_point Time) {
  std::time_t T = std::chrono::system_clock::to_time_t(Time);
  std::tm Next{};
  localtime_r(&T, &Next);
  Next.tm_mday += 1;
  Next.tm_hour = Next.tm_min = Next.tm_sec = 0;
  Next.tm_isdst = -1;  // the next day may keep another time (summer time)
  auto Start = std::chrono::system_clock::from_time_t(std::mktime(&Next));
  return std::chrono::duration_cast<std::chrono::milliseconds>(Start - Time);
}

int64_t LocalDayOf(std::chrono::system_clock::time_point Time) {
  std::time_t T = std::chrono::system_clock::to_time_t(Time);
  std::tm Local{};
  localtime_r(&T, &Local);
  return DaysFromCivil(Local.tm_year + 1900, static_cast<unsigned>(Local.tm_mon + 1),
                       static_cast<unsigned>(Local.tm_mday));
}

int WeekdayOf(int64_t Day) {
  // 1970-01-01 was a Thursday.
  int64_t W = (Day + 3) % 7;
  return static_cast<int>(W < 0 ? W + 7 : W);
}

std::vector<THistoryPeriod> HistoryPeriods(int64_t Today, int64_t OldestDay) {
  const int64_t Monday = Today - WeekdayOf(Today);
  std::vector<THistoryPeriod> Periods;
  if (OldestDay < Monday - 7) {
    int64_t Weeks = (Monday - 1 - OldestDay) / 7 + 1;
    for (int64_t N = Weeks; N >= 2; --N)
      Periods.push_back({Monday - 7 * N, Monday - 7 * N + 6, std::to_string(N) + " 周之前"});
  }
  if (OldestDay < Monday) Periods.push_back({Monday - 7, Monday - 1, "上周"});
  for (int64_t Day = std::max(Monday, OldestDay); Day < Today; ++Day)
    Periods.push_back({Day, Day, WeekdayNames[WeekdayOf(Day)]});
  Periods.push_back({Today, std::numeric_limits<int64_t>::max(), "今天"});
  return Periods;
}

}  // namespace vorlane::platform
