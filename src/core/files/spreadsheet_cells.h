#pragma once

// What the spreadsheet readers share: the format's limits, cell texts, and a sheet collected
// as its cells stream in, keeping only the columns an import names.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/progress.h"
#include "core/files/spreadsheet.h"

namespace files {

// The largest sheet .xlsx and .ods workbooks hold, and the longest text of a cell.
inline constexpr std::uint64_t kMaxRows = 1048576;
inline constexpr std::uint64_t kMaxColumns = 16384;
inline constexpr std::size_t kMaxCellBytes = 32767 * 4;
inline constexpr const char* kPastLimits = "表格超出范围: 最多 1048576 行, 16384 列";
// The most the kept cells of one sheet may take in memory. A few kilobytes of compressed XML
// can repeat one long text into every cell of a sheet; such a workbook is refused rather than
// unfolded into gigabytes.
inline constexpr std::size_t kMaxSheetBytes = std::size_t{128} << 20;
inline constexpr const char* kTooMuchContent = "表格内容太多 (超过 128 MB), 不能读入";

// Counts a cell's text of that many bytes (and the cell itself) into used; throws
// common::UserError(kTooMuchContent) once used passes kMaxSheetBytes.
void ChargeCell(std::size_t& used, std::size_t bytes);

// "2024-03-15T12:30:00" (a date or date and time as XML writes it) as DateTimeText does; any
// other text unchanged.
std::string IsoDateText(std::string_view iso);

// The shortest plain decimal that reads back as value: "12.5", "3", "0.1", never "3.000000"
// nor "1e+06".
std::string NumberText(double value);

// "YYYY-MM-DD", followed by " HH:MM:SS" when the time is not midnight.
std::string DateTimeText(int year, int month, int day, int hour, int minute, int second);

// A sheet as a reader streams it: first the names (the first row's cells by column), then
// the cells of the rows below, row after row. Only the wanted columns are kept, so the
// memory taken is that of the kept cells, whatever the sheet's extent.
class SheetBuilder {
 public:
  // The cell of a kept column: a row of the sheet (1 is the second row) and a kept column.
  struct Place {
    std::size_t row = 0;
    std::size_t column = 0;
  };

  // wanted: the names to keep; empty keeps every column. Without take the rows are held
  // until Finish; with it each row is handed to take once the next one starts.
  explicit SheetBuilder(const std::vector<std::string>& wanted, SheetRowSink take = {})
      : wanted_(wanted), take_(std::move(take)) {}

  // The first row's cells, by column (texts of empty cells empty).
  void SetNames(const std::vector<std::string>& cells);
  // Whether the column (0-based) of a row below the names is kept.
  bool Wants(std::uint64_t column) const {
    return column < kept_of_.size() && kept_of_[column] >= 0;
  }
  // The kept columns among count columns from first on, in order.
  std::span<const std::uint64_t> KeptAmong(std::uint64_t first, std::uint64_t count) const;
  // Puts the text of a kept cell of a row below the names (row 1 is the second row); rows
  // come in ascending order. Returns where it was put.
  Place Put(std::uint64_t row, std::uint64_t column, std::string text);
  // A cell put before, of a builder that holds its rows.
  std::string& At(const Place& place) { return rows_[place.row - 1][place.column]; }
  // Counts a text of that many bytes a reader holds for this sheet against kMaxSheetBytes
  // (Put counts its own; with take, only the row not yet handed on counts). Throws
  // common::UserError(kTooMuchContent).
  void Charge(std::size_t bytes) { ChargeCell(used_bytes_, bytes); }
  // The sheet: every row up to the last that holds something, one cell per kept name; only
  // the names when the rows were handed on.
  Sheet Finish();

 private:
  const std::vector<std::string>& wanted_;
  std::vector<int> kept_of_;                 // by column: its place among the kept ones, or -1
  std::vector<std::uint64_t> kept_columns_;  // the kept columns, in order
  std::vector<std::string> names_;
  std::vector<std::vector<std::string>> rows_;
  std::size_t used_bytes_ = 0;
  SheetRowSink take_;
  std::size_t current_row_ = 0;  // the row being filled for take, 0 for none
  std::vector<std::string> current_;
  void HandOn();
};

// Hands the names and the rows of a held sheet that hold something to take, as a streaming
// read would.
void HandOnRows(Sheet& sheet, const SheetRowSink& take);

// The named sheet (or the only one) of a legacy .xls workbook, its rows held or handed to
// take. Throws
// common::UserError("打开文件错误") and Cancelled.
Sheet ReadXlsSheet(const std::filesystem::path& file, std::string_view sheet,
                   const std::vector<std::string>& wanted, const Progress& progress,
                   const SheetRowSink& take = {});

// The same for .xlsx workbooks, whose bytes are given; also throws kPastLimits. With take,
// the rows are handed on as they are read and the sheet returned holds only the names.
Sheet ReadXlsxSheet(std::string_view bytes, std::string_view sheet,
                    const std::vector<std::string>& wanted, const Progress& progress,
                    const SheetRowSink& take = {});

// The same for .ods workbooks (and the same take).
Sheet ReadOdsSheet(std::string_view bytes, std::string_view sheet,
                   const std::vector<std::string>& wanted, const Progress& progress,
                   const SheetRowSink& take = {});

}  // namespace files
