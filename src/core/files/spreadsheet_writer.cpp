#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "core/common/error.h"
#include "core/files/import_check.h"
#include "core/files/spreadsheet.h"

namespace files {
namespace {

// The most rows one sheet of an .xlsx workbook holds.
constexpr std::uint32_t kMaxRows = 1'048'576;
constexpr double kColumnWidth = 14;

void Check(lxw_error error) {
  if (error != LXW_NO_ERROR)
    throw kasso::UserError(std::string("导出有误: ") + lxw_strerror(error));
}

// Workbooks write characters XML cannot carry as "_xHHHH_" (the library does so for CR); a
// text that only looks like such an escape keeps its "_" by writing it as "_x005F_", so
// that a reader does not take it for one.
std::string Escaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool escape =
        text.size() - i >= 7 && text.compare(i, 2, "_x") == 0 && text[i + 6] == '_' &&
        std::all_of(text.begin() + static_cast<long>(i) + 2,
                    text.begin() + static_cast<long>(i) + 6,
                    [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    out += escape ? "_x005F_" : std::string(1, text[i]);
  }
  return out;
}

}  // namespace

// The open workbook; freed unwritten when the export does not reach Commit.
struct SpreadsheetWriter::Book {
  lxw_workbook* workbook = nullptr;
  lxw_worksheet* sheet = nullptr;
  ~Book() {
    if (workbook) lxw_workbook_free(workbook);
  }
};

SpreadsheetWriter::SpreadsheetWriter(std::filesystem::path target, std::string sheet,
                                     std::vector<SheetColumn> columns)
    : file_(std::move(target)), columns_(std::move(columns)), book_(std::make_unique<Book>()) {
  // The library writes the workbook by name at the end; the staged file only reserves it.
  file_.Close();
  // The library's constant-memory mode writes each row out once the next one starts, so a
  // workbook of any length takes the memory of one row; its texts are written inline in the
  // cells rather than in a shared string table (every reader of the format takes both).
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  book_->workbook = workbook_new_opt(file_.temporary().c_str(), &options);
  if (!book_->workbook) throw kasso::UserError("不能创建文件: " + file_.target().string());
  if (workbook_validate_sheet_name(book_->workbook, sheet.c_str()) != LXW_NO_ERROR) {
    throw kasso::UserError("工作表名称有误: " + sheet);
  }
  // The name was checked above, so a sheet not added is a temporary file the library could
  // not make for its rows.
  book_->sheet = workbook_add_worksheet(book_->workbook, sheet.c_str());
  if (!book_->sheet) throw kasso::UserError("不能创建文件: " + file_.target().string());
  if (!columns_.empty()) {
    const auto last = static_cast<lxw_col_t>(columns_.size() - 1);
    Check(worksheet_set_column(book_->sheet, 0, last, kColumnWidth, nullptr));
  }
  lxw_format* bold = workbook_add_format(book_->workbook);
  format_set_bold(bold);
  for (std::size_t col = 0; col < columns_.size(); ++col) {
    Check(worksheet_write_string(book_->sheet, 0, static_cast<lxw_col_t>(col),
                                 columns_[col].title.c_str(), bold));
  }
}

SpreadsheetWriter::~SpreadsheetWriter() = default;

void SpreadsheetWriter::Row(const std::vector<std::string>& cells) {
  if (next_row_ >= kMaxRows) throw kasso::UserError("导出有误: 行数超过表格的上限");
  const std::size_t count = std::min(cells.size(), columns_.size());
  for (std::size_t col = 0; col < count; ++col) {
    const std::string& text = cells[col];
    if (text.empty()) continue;
    const auto column = static_cast<lxw_col_t>(col);
    std::optional<double> number;
    if (columns_[col].number) number = PlainNumber(text);
    if (number) {
      Check(worksheet_write_number(book_->sheet, next_row_, column, *number, nullptr));
    } else {
      Check(
          worksheet_write_string(book_->sheet, next_row_, column, Escaped(text).c_str(), nullptr));
    }
  }
  ++next_row_;
}

void SpreadsheetWriter::Commit() {
  lxw_workbook* workbook = book_->workbook;
  book_->workbook = nullptr;  // closing frees it, whatever the outcome
  if (workbook_close(workbook) != LXW_NO_ERROR) {
    throw kasso::UserError("不能写入文件: " + file_.target().string());
  }
  file_.Commit();
}

}  // namespace files
