#pragma once

// What the spreadsheet readers share: cells collected as text, then turned into a Sheet.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/reports/progress.h"
#include "core/reports/spreadsheet.h"

namespace reports {

// A sheet's cells as text, row by row from the first row; rows may be ragged.
using CellGrid = std::vector<std::vector<std::string>>;

// The shortest plain decimal that reads back as value: "12.5", "3", "0.1", never "3.000000"
// nor "1e+06".
std::string NumberText(double value);

// "YYYY-MM-DD", followed by " HH:MM:SS" when the time is not midnight.
std::string DateTimeText(int year, int month, int day, int hour, int minute, int second);

// The first row as names, the others cut or padded to one cell per name, empty rows at the
// end dropped.
Sheet SheetFromGrid(CellGrid grid);

// The named sheet (or the only one) of a legacy .xls workbook. Throws
// kasso::UserError("打开文件错误") and Cancelled.
CellGrid ReadXlsGrid(const std::filesystem::path& file, std::string_view sheet,
                     const Progress& progress);

// The same for .xlsx and .ods workbooks, whose bytes are given.
CellGrid ReadOpenDocumentGrid(const std::string& bytes, std::string_view sheet,
                              const Progress& progress);

}  // namespace reports
