#include "core/common/format.h"

#include <array>
#include <charconv>
#include <cstdlib>

namespace common {

std::string Fixed(double value, int decimals) {
  // The same digits "%.2f" would print, without a format string.
  std::array<char, 400> buffer{};
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  if (error != std::errc()) return "0";
  std::string text(buffer.data(), end);
  // -0.00 is not a number a cashier should ever see.
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

std::string ToLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

double ParseNumber(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  return end == begin ? 0.0 : value;
}

bool IsPlainDecimal(const std::string& text, int max_decimals) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int digits = 0;
  int decimals = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (c >= '0' && c <= '9') {
      ++digits;
      if (point) ++decimals;
    } else {
      return false;
    }
  }
  return digits > 0 && (max_decimals < 0 || decimals <= max_decimals);
}

}  // namespace common
