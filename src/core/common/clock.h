#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace kasso {

// The one clock of the program. Tests fix it so that date rules can be checked.
std::tm Now();

// Local time formatted "%Y-%m-%d %H:%M:%S", the form every datetime column holds.
std::string NowText();

// Formats a time with a strftime pattern.
std::string FormatTime(const std::tm& time, const char* pattern);

// Fixes the clock at the given local time; nullopt returns to the real clock.
void SetFixedClock(std::optional<std::tm> time);

// Builds a local time from its parts (month 1-12), for tests and tools.
std::tm MakeTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace kasso
