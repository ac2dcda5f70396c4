#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/common/error.h"
#include "core/files/import_check.h"
#include "core/files/spreadsheet.h"
#include "core/files/spreadsheet_cells.h"
#include "core/files/spreadsheet_zip.h"

namespace files {
namespace {

constexpr std::string_view kZipMagic = "PK\x03\x04";
constexpr std::string_view kOle2Magic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
const std::vector<std::string> kEveryColumn;

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

std::string IsoDateText(std::string_view iso) {
  int part[6] = {0, 0, 0, 0, 0, 0};
  const int read = std::sscanf(std::string(iso).c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &part[0],
                               &part[1], &part[2], &part[3], &part[4], &part[5]);
  if (read != 3 && read != 6) return std::string(iso);
  return DateTimeText(part[0], part[1], part[2], part[3], part[4], part[5]);
}

int Sheet::Column(std::string_view name) const {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

void SheetBuilder::SetNames(const std::vector<std::string>& cells) {
  std::size_t count = cells.size();
  if (wanted_.empty()) {
    while (count > 0 && Trimmed(cells[count - 1]).empty()) --count;
  }
  kept_of_.assign(count, -1);
  for (std::size_t col = 0; col < count; ++col) {
    std::string name = Trimmed(cells[col]);
    if (!wanted_.empty()) {
      // The first column of a wanted name, once.
      bool wanted = false;
      for (const std::string& w : wanted_) wanted = wanted || w == name;
      for (const std::string& kept : names_) wanted = wanted && kept != name;
      if (!wanted) continue;
    }
    kept_of_[col] = static_cast<int>(names_.size());
    kept_columns_.push_back(col);
    names_.push_back(std::move(name));
  }
  if (take_) {
    std::vector<std::string> names = names_;
    take_(1, names);
  }
}

std::span<const std::uint64_t> SheetBuilder::KeptAmong(std::uint64_t first,
                                                       std::uint64_t count) const {
  const auto begin = std::lower_bound(kept_columns_.begin(), kept_columns_.end(), first);
  const auto end = std::lower_bound(begin, kept_columns_.end(), first + count);
  return {begin, end};
}

void ChargeCell(std::size_t& used, std::size_t bytes) {
  used += bytes + sizeof(std::string);
  if (used > kMaxSheetBytes) throw common::UserError(kTooMuchContent);
}

SheetBuilder::Place SheetBuilder::Put(std::uint64_t row, std::uint64_t column, std::string text) {
  const auto kept = static_cast<std::size_t>(kept_of_[column]);
  if (take_) {
    if (row != current_row_) {
      HandOn();
      current_row_ = static_cast<std::size_t>(row);
      current_.assign(names_.size(), std::string());
      used_bytes_ = 0;  // the rows handed on are no longer held here
    }
    Charge(text.size());
    current_[kept] = std::move(text);
    return {static_cast<std::size_t>(row), kept};
  }
  Charge(text.size());
  if (rows_.size() < row) rows_.resize(row);
  std::vector<std::string>& cells = rows_[row - 1];
  if (cells.empty()) cells.resize(names_.size());
  cells[kept] = std::move(text);
  return {static_cast<std::size_t>(row), kept};
}

void SheetBuilder::HandOn() {
  if (current_row_ == 0) return;
  const std::size_t line = current_row_ + 1;
  current_row_ = 0;
  take_(line, current_);
}

void HandOnRows(Sheet& sheet, const SheetRowSink& take) {
  std::vector<std::string> names = sheet.names;
  take(1, names);
  for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
    if (!RowIsEmpty(sheet.rows[i])) take(i + 2, sheet.rows[i]);
    std::vector<std::string>().swap(sheet.rows[i]);
  }
  sheet.rows.clear();
}

Sheet SheetBuilder::Finish() {
  HandOn();
  Sheet sheet;
  sheet.names = std::move(names_);
  while (!rows_.empty() && RowIsEmpty(rows_.back())) rows_.pop_back();
  for (std::vector<std::string>& row : rows_) row.resize(sheet.names.size());
  sheet.rows = std::move(rows_);
  return sheet;
}

Sheet ReadSpreadsheet(const std::filesystem::path& file, std::string_view sheet,
                      const Progress& progress) {
  return ReadSpreadsheet(file, sheet, kEveryColumn, progress);
}

namespace {

// Reads the sheet with the reader its content calls for, the rows held or handed to take.
Sheet ReadAnySheet(const std::filesystem::path& file, std::string_view sheet,
                   const std::vector<std::string>& columns, const Progress& progress,
                   const SheetRowSink& take) {
  // The content decides the reader, not the name: a workbook saved under another ending
  // still reads, and a text file named .xlsx is refused cleanly.
  std::ifstream in(file, std::ios::binary);
  if (!in) throw common::UserError("打开文件错误");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw common::UserError("打开文件错误");
  if (bytes.starts_with(kOle2Magic)) {
    bytes.clear();
    return ReadXlsSheet(file, sheet, columns, progress, take);
  }
  if (!bytes.starts_with(kZipMagic)) throw common::UserError("打开文件错误");
  const ZipArchive archive(bytes);
  if (archive.Has("content.xml")) return ReadOdsSheet(bytes, sheet, columns, progress, take);
  return ReadXlsxSheet(bytes, sheet, columns, progress, take);
}

}  // namespace

Sheet ReadSpreadsheet(const std::filesystem::path& file, std::string_view sheet,
                      const std::vector<std::string>& columns, const Progress& progress) {
  return ReadAnySheet(file, sheet, columns, progress, {});
}

std::vector<std::string> ReadSpreadsheetRows(const std::filesystem::path& file,
                                             std::string_view sheet,
                                             const std::vector<std::string>& columns,
                                             const SheetRowSink& take, const Progress& progress) {
  return ReadAnySheet(file, sheet, columns, progress, take).names;
}

}  // namespace files
