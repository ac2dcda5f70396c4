#include "core/reports/date_range.h"

#include <chrono>
#include <cstdio>

namespace reports {
namespace {

std::chrono::sys_days ToDays(const Day& day) {
  return std::chrono::sys_days(std::chrono::year(day.year) /
                               std::chrono::month(static_cast<unsigned>(day.month)) /
                               std::chrono::day(static_cast<unsigned>(day.day)));
}

Day FromDays(std::chrono::sys_days days) {
  const std::chrono::year_month_day date(days);
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day()))};
}

}  // namespace

std::string DayText(const Day& day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
  return text;
}

DateRange MakeDateRange(const Day& first, const Day& last) {
  return {DayText(first), DayText(FromDays(ToDays(last) + std::chrono::days(1)))};
}

std::string LastChosenDay(const DateRange& range) {
  Day end;
  if (range.end.size() != 10 ||
      std::sscanf(range.end.c_str(), "%4d-%2d-%2d", &end.year, &end.month, &end.day) != 3) {
    return range.end;
  }
  const std::chrono::year_month_day date(std::chrono::year(end.year),
                                         std::chrono::month(static_cast<unsigned>(end.month)),
                                         std::chrono::day(static_cast<unsigned>(end.day)));
  if (!date.ok()) return range.end;
  return DayText(FromDays(std::chrono::sys_days(date) - std::chrono::days(1)));
}

}  // namespace reports
