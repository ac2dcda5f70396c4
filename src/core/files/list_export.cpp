#include "core/files/list_export.h"

#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"

namespace files {
namespace {

constexpr std::size_t kRowsPerReport = 1024;

void RowDone(const Progress& progress, std::size_t row, std::size_t total) {
  if (row % kRowsPerReport == 0) ReportProgress(progress, row, total);
}

}  // namespace

void ExportListAsText(const Table& table, const std::filesystem::path& file,
                      const Progress& progress) {
  TextFileWriter writer(file);
  writer.Line(TextLine(table.titles, true));
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    RowDone(progress, row, table.rows.size());
    writer.Line(TextLine(table.rows[row], true));
  }
  ReportProgress(progress, table.rows.size(), table.rows.size());
  writer.Commit();
}

void ExportListAsSpreadsheet(const Table& table, const std::filesystem::path& file,
                             const std::string& sheet, const std::vector<bool>& number_columns,
                             const Progress& progress) {
  std::vector<SheetColumn> columns;
  for (std::size_t col = 0; col < table.titles.size(); ++col) {
    columns.push_back({table.titles[col], col < number_columns.size() && number_columns[col]});
  }
  SpreadsheetWriter writer(file, sheet, std::move(columns));
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    RowDone(progress, row, table.rows.size());
    writer.Row(table.rows[row]);
  }
  ReportProgress(progress, table.rows.size(), table.rows.size());
  writer.Commit();
}

}  // namespace files
