#include "core/devices/slip.h"

#include <algorithm>

namespace print {
namespace {

// Bytes of the UTF-8 character that starts at text[at]; a stray byte counts as one.
size_t CharLength(std::string_view text, size_t at) {
  auto lead = static_cast<unsigned char>(text[at]);
  size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return std::min(length, text.size() - at);
}

int CharWidth(std::string_view text, size_t at) {
  return static_cast<unsigned char>(text[at]) < 0x80 ? 1 : 2;
}

std::string Spaces(int count) { return std::string(static_cast<size_t>(std::max(count, 0)), ' '); }

}  // namespace

int DisplayWidth(std::string_view utf8) {
  int width = 0;
  for (size_t at = 0; at < utf8.size(); at += CharLength(utf8, at)) width += CharWidth(utf8, at);
  return width;
}

std::string FitColumns(std::string_view utf8, int columns) {
  size_t end = 0;
  int width = 0;
  while (end < utf8.size()) {
    int next = CharWidth(utf8, end);
    if (width + next > columns) break;
    width += next;
    end += CharLength(utf8, end);
  }
  return std::string(utf8.substr(0, end));
}

std::vector<std::string> WrapColumns(std::string_view utf8, int columns) {
  std::vector<std::string> lines;
  columns = std::max(columns, 2);  // room for one double-byte character, or nothing fits
  size_t start = 0;
  while (true) {
    size_t end = utf8.find('\n', start);
    std::string_view part = utf8.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.ends_with('\r')) part.remove_suffix(1);
    std::string rest = PrintableText(part);
    do {
      std::string line = FitColumns(rest, columns);
      rest.erase(0, line.size());
      lines.push_back(std::move(line));
    } while (!rest.empty());
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string PairLine(std::string_view left, std::string_view right, int columns) {
  std::string value = FitColumns(PrintableText(right), columns);
  int value_width = DisplayWidth(value);
  int room = columns - value_width - 1;
  std::string caption = room > 0 ? FitColumns(PrintableText(left), room) : std::string();
  int caption_width = DisplayWidth(caption);
  return caption + Spaces(columns - caption_width - value_width) + value;
}

std::string RightColumns(const std::vector<std::string>& fields, const std::vector<int>& widths) {
  std::string line;
  for (size_t i = 0; i < fields.size() && i < widths.size(); ++i) {
    std::string field = FitColumns(PrintableText(fields[i]), widths[i]);
    line += Spaces(widths[i] - DisplayWidth(field)) + field;
  }
  return line;
}

std::string PrintableText(std::string_view utf8) {
  std::string text(utf8);
  for (char& c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return text;
}

void Slip::Text(std::string_view text, Align align, bool emphasis) {
  lines.push_back({FitColumns(PrintableText(text), columns), align, emphasis});
}

void Slip::Wrapped(std::string_view text, Align align, bool emphasis) {
  for (std::string& line : WrapColumns(text, columns)) {
    lines.push_back({std::move(line), align, emphasis});
  }
}

void Slip::Pair(std::string_view left, std::string_view right, bool emphasis) {
  lines.push_back({PairLine(left, right, columns), Align::kLeft, emphasis});
}

void Slip::Rule() {
  lines.push_back({std::string(static_cast<size_t>(columns), '-'), Align::kLeft, false});
}

}  // namespace print
