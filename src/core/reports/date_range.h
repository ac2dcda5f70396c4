#pragma once

// The date range every query and the daily report run over. Datetimes are stored as text
// "%Y-%m-%d %H:%M:%S" and compared as text: a range from start (a bare date) to end (the bare
// date of the day after the last chosen day) holds every stamp of the chosen days, because a
// stamp of the following midnight carries a time part and sorts after the bare date.

#include <string>

namespace reports {

struct DateRange {
  std::string start;  // "YYYY-MM-DD", the first day
  std::string end;    // "YYYY-MM-DD", the day after the last day
};

// A calendar day (month 1-12).
struct Day {
  int year = 0;
  int month = 0;
  int day = 0;
};

// The range from the first to the last chosen day, both included.
DateRange MakeDateRange(const Day& first, const Day& last);

// The last day the person chose ("YYYY-MM-DD"): the range's end less one day. A text that is
// not a date comes back unchanged.
std::string LastChosenDay(const DateRange& range);

// "YYYY-MM-DD" of a day.
std::string DayText(const Day& day);

}  // namespace reports
