#include "core/files/open_document_styles.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "core/files/spreadsheet_cells.h"

namespace files {
namespace {

constexpr double kSecondsPerDay = 86400;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& year, int& month, int& day) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// What a number format code shows, judged by its letters outside quotes, brackets and
// escapes: y or d means a date, h or s a time; m alone is taken as a month.
bool CodeHas(const std::string& code, bool& date, bool& time) {
  date = time = false;
  bool month = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
    if (c == '"') {
      i = code.find('"', i + 1);
      if (i == std::string::npos) break;
    } else if (c == '[') {
      i = code.find(']', i + 1);
      if (i == std::string::npos) break;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
    } else if (c == 'y' || c == 'd') {
      date = true;
    } else if (c == 'h' || c == 's') {
      time = true;
    } else if (c == 'm') {
      month = true;
    }
  }
  if (month && !time) date = true;
  return date || time;
}

}  // namespace

void NumberFormats::SetOriginDate(int year, int month, int day) {
  origin_days_ = DaysFromCivil(year, month, day);
}

void NumberFormats::AddFormat(std::size_t id, std::string code) {
  bool date = false;
  bool time = false;
  CodeHas(code, date, time);
  custom_[id] = date && time ? Shows::kDateTime
                : date       ? Shows::kDate
                : time       ? Shows::kTime
                             : Shows::kNumber;
}

void NumberFormats::AddCellFormat(std::size_t number_format) {
  cell_formats_.push_back(number_format);
}

NumberFormats::Shows NumberFormats::KindOf(std::uint32_t xf) const {
  if (xf >= cell_formats_.size()) return Shows::kNumber;
  const std::size_t id = cell_formats_[xf];
  if (auto found = custom_.find(id); found != custom_.end()) return found->second;
  // The built-in formats, Chinese ones (27-36, 50-58) included.
  if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58)) {
    return Shows::kDate;
  }
  if (id == 22) return Shows::kDateTime;
  if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47)) {
    return Shows::kTime;
  }
  return Shows::kNumber;
}

std::string NumberFormats::Text(double value, std::uint32_t xf) const {
  const Shows shows = KindOf(xf);
  if (shows == Shows::kNumber || !std::isfinite(value) || std::fabs(value) > 3e6) {
    return NumberText(value);
  }
  long days = static_cast<long>(std::floor(value));
  long seconds = std::lround((value - static_cast<double>(days)) * kSecondsPerDay);
  if (seconds >= static_cast<long>(kSecondsPerDay)) {
    ++days;
    seconds = 0;
  }
  const int hour = static_cast<int>(seconds / 3600);
  const int minute = static_cast<int>(seconds / 60 % 60);
  const int second = static_cast<int>(seconds % 60);
  if (shows == Shows::kTime) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    return text;
  }
  int year = 0;
  int month = 0;
  int day = 0;
  CivilFromDays(origin_days_ + days, year, month, day);
  if (shows == Shows::kDate) return DateTimeText(year, month, day, 0, 0, 0);
  return DateTimeText(year, month, day, hour, minute, second);
}

}  // namespace files
