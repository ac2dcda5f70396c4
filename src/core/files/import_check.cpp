#include "core/files/import_check.h"

#include <charconv>

#include "core/common/error.h"
#include "core/common/format.h"

namespace files {

void RefuseLine(int line, const std::string& message) {
  throw common::UserError("第 " + std::to_string(line) + " 行: " + message);
}

std::string Trimmed(const std::string& text) {
  constexpr const char* kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<double> PlainNumber(const std::string& text) {
  if (!common::IsPlainDecimal(text)) return std::nullopt;
  const bool plus = text.front() == '+';
  const char* first = text.data() + (plus ? 1 : 0);
  double value = 0;
  auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

double ImportNumber(const std::string& text, int line, const std::string& message) {
  std::optional<double> number = PlainNumber(Trimmed(text));
  if (!number) RefuseLine(line, message);
  return *number;
}

double ImportNumberOr(const std::string& text, double fallback, int line,
                      const std::string& message) {
  if (Trimmed(text).empty()) return fallback;
  return ImportNumber(text, line, message);
}

void RequireFields(const TextRecord& record, std::size_t count, const std::string& what) {
  if (record.fields.size() < count) RefuseLine(record.line, what + "字段不足");
}

}  // namespace files
