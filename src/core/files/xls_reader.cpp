#include <freexl.h>

#include <string>

#include "core/common/error.h"
#include "core/files/spreadsheet_cells.h"

namespace files {
namespace {

constexpr unsigned kRowsPerReport = 4096;

// Closes the workbook however the reading ends.
class XlsBook {
 public:
  explicit XlsBook(const std::filesystem::path& file) {
    if (freexl_open(file.c_str(), &handle_) != FREEXL_OK) {
      handle_ = nullptr;
      throw common::UserError("打开文件错误");
    }
  }
  ~XlsBook() {
    if (handle_) freexl_close(handle_);
  }
  XlsBook(const XlsBook&) = delete;
  XlsBook& operator=(const XlsBook&) = delete;
  const void* handle() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

void Require(int result) {
  if (result != FREEXL_OK) throw common::UserError("打开文件错误");
}

std::string CellText(const FreeXL_CellValue& cell) {
  switch (cell.type) {
    case FREEXL_CELL_INT:
      return std::to_string(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
      return NumberText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return cell.value.text_value ? cell.value.text_value : "";
    default:
      return {};
  }
}

}  // namespace

Sheet ReadXlsSheet(const std::filesystem::path& file, std::string_view sheet,
                   const std::vector<std::string>& wanted, const Progress& progress,
                   const SheetRowSink& take) {
  XlsBook book(file);
  unsigned int password = 0;
  Require(freexl_get_info(book.handle(), FREEXL_BIFF_PASSWORD, &password));
  if (password != FREEXL_BIFF_PLAIN) throw common::UserError("打开文件错误");
  unsigned int sheets = 0;
  Require(freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &sheets));
  int chosen = sheets == 1 ? 0 : -1;
  for (unsigned int index = 0; index < sheets; ++index) {
    const char* name = nullptr;
    Require(freexl_get_worksheet_name(book.handle(), static_cast<unsigned short>(index), &name));
    if (name && sheet == name) chosen = static_cast<int>(index);
  }
  if (chosen < 0) throw common::UserError("打开文件错误");
  Require(freexl_select_active_worksheet(book.handle(), static_cast<unsigned short>(chosen)));
  unsigned int rows = 0;
  unsigned short columns = 0;
  Require(freexl_worksheet_dimensions(book.handle(), &rows, &columns));
  auto text = [&](unsigned int row, unsigned short col) {
    FreeXL_CellValue cell;
    Require(freexl_get_cell_value(book.handle(), row, col, &cell));
    return CellText(cell);
  };
  SheetBuilder builder(wanted, take);
  std::vector<std::string> names;
  for (unsigned short col = 0; rows > 0 && col < columns; ++col) names.push_back(text(0, col));
  builder.SetNames(names);
  for (unsigned int row = 1; row < rows; ++row) {
    if (row % kRowsPerReport == 0) ReportProgress(progress, row, rows);
    for (std::uint64_t col : builder.KeptAmong(0, columns)) {
      std::string cell = text(row, static_cast<unsigned short>(col));
      if (!cell.empty()) builder.Put(row, col, std::move(cell));
    }
  }
  return builder.Finish();
}

}  // namespace files
