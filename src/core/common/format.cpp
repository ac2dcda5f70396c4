#include "common/format.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kasso {

std::string Fixed(double value, int decimals) {
  // -0.00 is not a number a cashier should ever see.
  if (value == 0.0) value = 0.0;
  int needed = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
  std::string text(buffer.data(), static_cast<size_t>(needed));
  if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

double ParseNumber(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  return end == begin ? 0.0 : value;
}

}  // namespace kasso
