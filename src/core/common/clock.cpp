#include "core/common/clock.h"

#include <array>

namespace common {
namespace {
std::optional<std::tm>& FixedClock() {
  static std::optional<std::tm> fixed;
  return fixed;
}
}  // namespace

std::tm Now() {
  if (FixedClock()) return *FixedClock();
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::string NowText() { return FormatTime(Now(), "%Y-%m-%d %H:%M:%S"); }

std::string FormatTime(const std::tm& time, const char* pattern) {
  std::array<char, 128> buffer{};
  size_t length = std::strftime(buffer.data(), buffer.size(), pattern, &time);
  return std::string(buffer.data(), length);
}

void SetFixedClock(std::optional<std::tm> time) { FixedClock() = time; }

std::optional<std::tm> FixedClockTime() { return FixedClock(); }

std::tm MakeTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  std::time_t stamp = std::mktime(&t);  // fills weekday and normalises
  localtime_r(&stamp, &t);
  return t;
}

}  // namespace common
