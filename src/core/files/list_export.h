#pragma once

// Writing a list as a screen shows it (its column titles and cell texts) to a file.

#include <filesystem>
#include <string>
#include <vector>

#include "core/files/progress.h"

namespace files {

struct Table {
  std::vector<std::string> titles;
  std::vector<std::vector<std::string>> rows;
};

// A GBK text file: the titles as the first line, then one line per row; every field is
// followed by "," (the last one too), every line ends with CR LF, and a field is quoted only
// where TextField says. Replaces a file of the same name only once complete. Progress counts
// rows. Throws common::UserError and Cancelled.
void ExportListAsText(const Table& table, const std::filesystem::path& file,
                      const Progress& progress = {});

// An .xlsx workbook with one sheet of that name: the titles, then the rows; the columns
// flagged in number_columns hold numbers where their cells read as numbers, every other
// cell holds text. Replaces a file of the same name only once complete. Progress counts
// rows. Throws common::UserError and Cancelled.
void ExportListAsSpreadsheet(const Table& table, const std::filesystem::path& file,
                             const std::string& sheet, const std::vector<bool>& number_columns = {},
                             const Progress& progress = {});

}  // namespace files
