#pragma once

// The result of one query as the query list shows it: its columns (title, width, alignment,
// number format), the rows read from the journal, and the closing "总计" row. Rows are held
// compactly (a number or a piece of one shared text buffer per cell) and formatted only when
// a cell is shown or written, so a year of the journal fits in memory and opens at once.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/list_export.h"
#include "core/store/database.h"

namespace reports {

enum class Align { kCenter, kRight };

// How a column's values are read and written: text as stored, "%d", "%.2f" or "%.3f".
enum class CellFormat { kText, kInteger, kTwoDecimals, kThreeDecimals };

struct QueryColumn {
  std::string title;
  int width = 100;  // in screen pixels
  CellFormat format = CellFormat::kText;
  Align align = Align::kCenter;
};

// The first cell of the last row.
inline constexpr std::string_view kTotalCaption = "总计";

class QueryResult {
 public:
  QueryResult() = default;
  explicit QueryResult(std::vector<QueryColumn> columns);

  const std::vector<QueryColumn>& columns() const { return columns_; }
  std::size_t ColumnCount() const { return columns_.size(); }
  // The rows the query read, without the "总计" row.
  std::size_t ResultRows() const;
  // Every row the list shows: the rows read, then "总计" (none before a query has run).
  std::size_t RowCount() const;
  // The text shown in a cell; the "总计" row holds "总计" first and the totals under their
  // columns, the other cells empty.
  std::string Text(std::size_t row, std::size_t column) const;
  bool IsNumber(std::size_t column) const;

  // Reads the current row of a statement whose columns are this result's, in order. NULL
  // reads as "" for text and 0 for numbers.
  void AppendRow(const store::Statement& statement);
  // Reads the totals: the statement's i-th column goes under column targets[i], formatted as
  // that column; a sum over no rows shows 0.
  void SetTotals(const store::Statement& statement, const std::vector<int>& targets);

 private:
  std::vector<QueryColumn> columns_;
  std::vector<std::uint64_t> cells_;  // row-major: a double, an int64 or a text offset/size
  std::string text_;
  std::vector<std::string> total_;
};

// The list as a table of texts for the file writers: the titles, then every row shown.
files::Table ToTable(const QueryResult& result);

// Which columns hold numbers, for the spreadsheet writer.
std::vector<bool> NumberColumns(const QueryResult& result);

}  // namespace reports
