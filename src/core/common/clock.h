#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace common {

// The one clock of the program. Tests fix it so that date rules can be checked.
std::tm Now();

// Local time formatted "%Y-%m-%d %H:%M:%S", the form every datetime column holds.
std::string NowText();

// Formats a time with a strftime pattern.
std::string FormatTime(const std::tm& time, const char* pattern);

// Fixes the clock at the given local time; nullopt returns to the real clock.
void SetFixedClock(std::optional<std::tm> time);

// The fixed time, when the clock is fixed.
std::optional<std::tm> FixedClockTime();

// Fixes the clock for its lifetime and then puts back what was there before (a fixed time or
// the real clock), so a tool can date what it writes without disturbing its caller.
class ScopedClock {
 public:
  explicit ScopedClock(const std::tm& time) : previous_(FixedClockTime()) { SetFixedClock(time); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
  ~ScopedClock() { SetFixedClock(previous_); }

 private:
  std::optional<std::tm> previous_;
};

// Builds a local time from its parts (month 1-12), for tests and tools.
std::tm MakeTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace common
