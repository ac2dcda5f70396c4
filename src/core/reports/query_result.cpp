#include "core/reports/query_result.h"

#include <bit>
#include <limits>

#include "core/common/error.h"
#include "core/common/format.h"

namespace reports {
namespace {

std::string FormatNumber(CellFormat format, std::uint64_t cell) {
  switch (format) {
    case CellFormat::kInteger:
      return std::to_string(static_cast<std::int64_t>(cell));
    case CellFormat::kTwoDecimals:
      return common::Fixed(std::bit_cast<double>(cell), 2);
    case CellFormat::kThreeDecimals:
      return common::Fixed(std::bit_cast<double>(cell), 3);
    case CellFormat::kText:
      break;
  }
  return {};
}

std::uint64_t ReadNumber(CellFormat format, const store::Statement& statement, int column) {
  if (format == CellFormat::kInteger) return static_cast<std::uint64_t>(statement.Int(column));
  return std::bit_cast<std::uint64_t>(statement.Double(column));
}

}  // namespace

QueryResult::QueryResult(std::vector<QueryColumn> columns) : columns_(std::move(columns)) {
  total_.assign(columns_.size(), std::string());
  if (!total_.empty()) total_[0] = kTotalCaption;
}

std::size_t QueryResult::ResultRows() const {
  return columns_.empty() ? 0 : cells_.size() / columns_.size();
}

std::size_t QueryResult::RowCount() const { return columns_.empty() ? 0 : ResultRows() + 1; }

bool QueryResult::IsNumber(std::size_t column) const {
  return columns_.at(column).format != CellFormat::kText;
}

std::string QueryResult::Text(std::size_t row, std::size_t column) const {
  if (row == ResultRows()) return total_.at(column);
  const std::uint64_t cell = cells_.at(row * columns_.size() + column);
  const CellFormat format = columns_[column].format;
  if (format != CellFormat::kText) return FormatNumber(format, cell);
  return text_.substr(static_cast<std::size_t>(cell >> 32), cell & 0xFFFFFFFFu);
}

void QueryResult::AppendRow(const store::Statement& statement) {
  for (std::size_t column = 0; column < columns_.size(); ++column) {
    const int index = static_cast<int>(column);
    const CellFormat format = columns_[column].format;
    if (format != CellFormat::kText) {
      cells_.push_back(ReadNumber(format, statement, index));
      continue;
    }
    const std::string text = statement.Text(index);
    if (text_.size() + text.size() > std::numeric_limits<std::uint32_t>::max()) {
      throw common::UserError("查询结果太大, 请缩小时间范围");
    }
    cells_.push_back(static_cast<std::uint64_t>(text_.size()) << 32 | text.size());
    text_ += text;
  }
}

void QueryResult::SetTotals(const store::Statement& statement, const std::vector<int>& targets) {
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const auto column = static_cast<std::size_t>(targets[i]);
    const CellFormat format = columns_.at(column).format;
    total_.at(column) =
        format == CellFormat::kText
            ? statement.Text(static_cast<int>(i))
            : FormatNumber(format, ReadNumber(format, statement, static_cast<int>(i)));
  }
}

files::Table ToTable(const QueryResult& result) {
  files::Table table;
  for (const QueryColumn& column : result.columns()) table.titles.push_back(column.title);
  table.rows.reserve(result.RowCount());
  for (std::size_t row = 0; row < result.RowCount(); ++row) {
    std::vector<std::string> cells;
    cells.reserve(result.ColumnCount());
    for (std::size_t column = 0; column < result.ColumnCount(); ++column) {
      cells.push_back(result.Text(row, column));
    }
    table.rows.push_back(std::move(cells));
  }
  return table;
}

std::vector<bool> NumberColumns(const QueryResult& result) {
  std::vector<bool> numbers;
  for (std::size_t column = 0; column < result.ColumnCount(); ++column) {
    numbers.push_back(result.IsNumber(column));
  }
  return numbers;
}

}  // namespace reports
