#pragma once

// Spreadsheet files: .xlsx written with libxlsxwriter; .xlsx and .ods read by our own
// streaming reader, legacy .xls read with freexl. A sheet's first row holds the column names.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/progress.h"
#include "core/files/staged_file.h"

namespace files {

struct SheetColumn {
  std::string title;
  bool number = false;  // cells that read as numbers are stored as numbers
};

// Writes one sheet of an .xlsx workbook: the titles in the first row, then one row per call.
// In a number column a cell that reads as a plain number is stored as a number, any other
// cell as text; every other column holds text. The workbook is built beside the target and
// takes its name only at Commit; leaving scope without Commit leaves the target untouched.
class SpreadsheetWriter {
 public:
  // Throws kasso::UserError when the file cannot be created or the sheet name is refused.
  SpreadsheetWriter(std::filesystem::path target, std::string sheet,
                    std::vector<SheetColumn> columns);
  ~SpreadsheetWriter();
  SpreadsheetWriter(const SpreadsheetWriter&) = delete;
  SpreadsheetWriter& operator=(const SpreadsheetWriter&) = delete;

  // One row of cell texts, in the order of the columns; missing cells stay empty.
  void Row(const std::vector<std::string>& cells);
  // Finishes the workbook and puts it under the target's name. Throws kasso::UserError.
  void Commit();

 private:
  struct Book;
  StagedFile file_;
  std::vector<SheetColumn> columns_;
  std::unique_ptr<Book> book_;
  std::uint32_t next_row_ = 1;
};

// One sheet as read: the first row's cells are the column names (blanks around them
// removed), then every further row, each with exactly one cell per name. Row i of rows is
// the sheet's row i + 2. Empty rows at the end are dropped.
struct Sheet {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
  // The index of the named column, -1 when the sheet has none.
  int Column(std::string_view name) const;
};

// Reads the named sheet (or the only sheet of a one-sheet workbook) of an .xlsx, .ods or .xls
// file, whatever its name ends in, keeping only the named columns (in the sheet's order;
// names the sheet lacks are left out; no names keeps every column). Memory goes by the kept
// cells, never by the extent a sheet claims. Every cell is given as text: numbers of any
// format (currency, percentage) as the shortest plain decimal that reads back the same
// ("12.5", "3"), dates as "YYYY-MM-DD" (with " HH:MM:SS" when they carry a time), formulas
// as their stored result, errors as their code ("#N/A"), booleans as "TRUE" or "FALSE", a
// formula never calculated as "=" and its text: a cell that holds something never reads as
// empty. Throws kasso::UserError("打开文件错误") when the file is not a readable workbook or
// has no such sheet, a UserError naming the limits for a sheet past the format's rows or
// columns, and Cancelled.
Sheet ReadSpreadsheet(const std::filesystem::path& file, std::string_view sheet,
                      const std::vector<std::string>& columns, const Progress& progress = {});

// A row as a streaming read hands it over: its line in the sheet and its cells. Line 1, the
// first handed over, holds the kept names; every later row one cell per kept name, in the
// order of the names. The cells may be moved.
using SheetRowSink = std::function<void(std::size_t line, std::vector<std::string>& cells)>;

// Reads as ReadSpreadsheet does, but hands the names and then each row that holds a kept cell
// to take as soon as it is read, in the sheet's order, instead of holding the sheet: an .xlsx
// workbook takes
// memory by the distinct shared strings its kept cells use, never by its rows (an .ods file
// holds the named sheet's rows only when a sheet of another name comes first, and a legacy .xls
// is held whole by its library, as its format is small). Returns the names. What take throws
// ends the reading and is thrown on.
std::vector<std::string> ReadSpreadsheetRows(const std::filesystem::path& file,
                                             std::string_view sheet,
                                             const std::vector<std::string>& columns,
                                             const SheetRowSink& take,
                                             const Progress& progress = {});

// The same with every column.
Sheet ReadSpreadsheet(const std::filesystem::path& file, std::string_view sheet,
                      const Progress& progress = {});

}  // namespace files
