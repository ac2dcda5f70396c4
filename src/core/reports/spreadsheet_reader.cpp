#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/common/error.h"
#include "core/reports/import_check.h"
#include "core/reports/spreadsheet.h"
#include "core/reports/spreadsheet_cells.h"

namespace reports {
namespace {

constexpr std::string_view kZipMagic = "PK\x03\x04";
constexpr std::string_view kOle2Magic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

bool RowIsEmpty(const std::vector<std::string>& row) {
  for (const std::string& cell : row) {
    if (!cell.empty()) return false;
  }
  return true;
}

}  // namespace

std::string NumberText(double value) {
  if (value == 0) return "0";  // also -0
  std::array<char, 400> buffer;
  auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (error != std::errc()) return std::to_string(value);
  return std::string(buffer.data(), end);
}

std::string DateTimeText(int year, int month, int day, int hour, int minute, int second) {
  char text[32];
  if (hour == 0 && minute == 0 && second == 0) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
  }
  return text;
}

int Sheet::Column(std::string_view name) const {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

Sheet SheetFromGrid(CellGrid grid) {
  Sheet sheet;
  if (grid.empty()) return sheet;
  for (const std::string& name : grid.front()) sheet.names.push_back(Trimmed(name));
  while (!sheet.names.empty() && sheet.names.back().empty()) sheet.names.pop_back();
  std::size_t last = grid.size();
  while (last > 1) {
    std::vector<std::string>& row = grid[last - 1];
    if (row.size() > sheet.names.size()) row.resize(sheet.names.size());
    if (!RowIsEmpty(row)) break;
    --last;
  }
  for (std::size_t r = 1; r < last; ++r) {
    grid[r].resize(sheet.names.size());
    sheet.rows.push_back(std::move(grid[r]));
  }
  return sheet;
}

Sheet ReadSpreadsheet(const std::filesystem::path& file, std::string_view sheet,
                      const Progress& progress) {
  // The content decides the reader, not the name: a workbook saved under another ending
  // still reads, and a text file named .xlsx is refused cleanly.
  std::ifstream in(file, std::ios::binary);
  if (!in) throw kasso::UserError("打开文件错误");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw kasso::UserError("打开文件错误");
  if (bytes.starts_with(kOle2Magic)) {
    bytes.clear();
    return SheetFromGrid(ReadXlsGrid(file, sheet, progress));
  }
  if (bytes.starts_with(kZipMagic)) {
    return SheetFromGrid(ReadOpenDocumentGrid(bytes, sheet, progress));
  }
  throw kasso::UserError("打开文件错误");
}

}  // namespace reports
