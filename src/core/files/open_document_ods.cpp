// Reads the sheet of an .ods workbook (LibreOffice): every sheet is a table of content.xml,
// streamed once. A cell carries its value in attributes by its kind (float, currency,
// percentage, date, time, boolean) and the text it shows in paragraphs; repeated rows and
// cells are counted, and only the first row and the kept columns are taken out.

#include <algorithm>
#include <charconv>
#include <memory>

#include "core/common/error.h"
#include "core/files/spreadsheet_cells.h"
#include "core/files/spreadsheet_xml.h"

namespace files {
namespace {

constexpr const char* kUnreadable = "打开文件错误";
constexpr std::string_view kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::size_t kMaxSpaces = 1024;

// A repeat count; beyond the format's limits it need not be exact.
std::uint64_t Count(std::string_view text) {
  std::uint64_t count = 1;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || count == 0) {
    return 1;
  }
  return std::min<std::uint64_t>(count, std::uint64_t{1} << 32);
}

// "PT12H30M00S" (a duration since midnight) as "12:30:00".
std::string TimeText(std::string_view duration) {
  long parts[3] = {0, 0, 0};
  long value = 0;
  for (char c : duration) {
    if (c >= '0' && c <= '9') {
      value = std::min(value * 10 + (c - '0'), 1000000L);
    } else if (c == 'H' || c == 'M' || c == 'S' || c == '.') {
      const int at = c == 'H' ? 0 : c == 'M' ? 1 : 2;
      if (c != '.' || parts[2] == 0) parts[at] = value;
      value = 0;
    }
  }
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", parts[0] % 100000, parts[1] % 60,
                parts[2] % 60);
  return text;
}

// One table of the file collected into a SheetBuilder, or handed on row by row.
struct Table {
  Table(const std::vector<std::string>& wanted, const SheetRowSink& take) : builder(wanted, take) {}
  SheetBuilder builder;
  std::uint64_t rows = 0;  // rows read so far, repeated ones counted
  bool named = false;      // the names have been set
};

class Content : public XmlPart {
 public:
  Content(std::string_view sheet, const std::vector<std::string>& wanted, const SheetRowSink& take)
      : sheet_(sheet), wanted_(wanted), take_(take) {}

  // The wanted table, or the only one of the file. A first table of another name was held
  // (it may turn out to be the only one) and is handed on now.
  Sheet Result() {
    Table* table = wanted_table_  ? wanted_table_.get()
                   : tables_ == 1 ? first_table_.get()
                                  : nullptr;
    if (!table) throw common::UserError(kUnreadable);
    if (!table->named) table->builder.SetNames({});
    Sheet sheet = table->builder.Finish();
    if (take_ && table == first_table_.get()) HandOnRows(sheet, take_);
    return sheet;
  }

 private:
  void Start(std::string_view name, const Attributes& a) override {
    if (name == "table") {
      if (++table_depth_ > 1) return;  // a table inside a cell is part of that cell
      StartTable(a.Get("name"));
    } else if (table_depth_ != 1 || !table_) {
      return;
    } else if (name == "table-row") {
      row_repeat_ = Count(a.Get("number-rows-repeated"));
      row_cells_.clear();
      row_bytes_ = 0;
      row_holds_ = false;
      column_ = 0;
    } else if (name == "table-cell" || name == "covered-table-cell") {
      StartCell(a);
    } else if (!in_cell_) {
      return;
    } else if (name == "annotation") {
      ++annotation_;
    } else if (annotation_ > 0) {
      return;
    } else if (name == "p") {
      if (paragraphs_++ > 0) Add("\n");
      ++in_paragraph_;
    } else if (name == "s") {
      Add(std::string(std::min<std::uint64_t>(Count(a.Get("c")), kMaxSpaces), ' '));
    } else if (name == "tab") {
      Add("\t");
    } else if (name == "line-break") {
      Add("\n");
    }
  }

  void End(std::string_view name) override {
    if (name == "table") {
      if (--table_depth_ == 0) table_ = nullptr;
    } else if (table_depth_ != 1 || !table_) {
      return;
    } else if (name == "table-row") {
      EndRow();
    } else if ((name == "table-cell" || name == "covered-table-cell") && in_cell_) {
      EndCell();
    } else if (name == "annotation" && in_cell_) {
      --annotation_;
    } else if (name == "p" && in_cell_ && annotation_ == 0) {
      --in_paragraph_;
    }
  }

  void Text(std::string_view text) override {
    if (in_cell_ && annotation_ == 0 && in_paragraph_ > 0) Add(text);
  }

  void StartTable(std::string_view name) {
    ++tables_;
    table_ = nullptr;
    if (name == sheet_ && !wanted_table_) {
      first_table_.reset();  // no longer needed: this is the sheet read
      wanted_table_ = std::make_unique<Table>(wanted_, take_);
      table_ = wanted_table_.get();
    } else if (tables_ == 1) {
      first_table_ = std::make_unique<Table>(wanted_, SheetRowSink());
      table_ = first_table_.get();
    }
  }

  // Whether a cell over columns [first, first + count) of the current row is read at all.
  bool Needed(std::uint64_t first, std::uint64_t count) const {
    return table_->rows == 0 || !table_->builder.KeptAmong(first, count).empty();
  }

  void StartCell(const Attributes& a) {
    cell_repeat_ = Count(a.Get("number-columns-repeated"));
    in_cell_ = true;
    annotation_ = 0;
    paragraphs_ = 0;
    in_paragraph_ = 0;
    text_.clear();
    value_.clear();
    keep_ = Needed(column_, cell_repeat_);
    // LibreOffice marks a formula's error beside the value type it gives the cell.
    error_ = a.AnyIs("value-type", "error");
    const std::string_view kind = a.Get("value-type", kOffice);
    if (error_ || kind.empty() || kind == "string") {
      if (a.Has("string-value")) value_ = a.Get("string-value", kOffice);
      string_value_ = !error_ && a.Has("string-value");
      return;
    }
    string_value_ = true;
    if (kind == "float" || kind == "currency" || kind == "percentage") {
      const std::string_view number = a.Get("value", kOffice);
      double value = 0;
      auto [end, result] = std::from_chars(number.data(), number.data() + number.size(), value);
      value_ = result == std::errc() && end == number.data() + number.size() && !number.empty()
                   ? NumberText(value)
                   : std::string(number);
    } else if (kind == "date") {
      value_ = IsoDateText(a.Get("date-value", kOffice));
    } else if (kind == "time") {
      value_ = TimeText(a.Get("time-value", kOffice));
    } else if (kind == "boolean") {
      value_ = a.Get("boolean-value", kOffice) == "true" ? "TRUE" : "FALSE";
    } else {
      string_value_ = false;
    }
  }

  // The cell's text: its value, or for text and errors what it shows.
  void EndCell() {
    in_cell_ = false;
    const std::uint64_t first = column_;
    column_ += cell_repeat_;
    std::string text = string_value_ ? std::move(value_) : std::move(text_);
    if (text.empty()) return;
    row_holds_ = true;
    if (first + cell_repeat_ > kMaxColumns) return Refuse(kPastLimits);
    if (!keep_) return;
    if (table_->rows > 0) {
      for (std::uint64_t col : table_->builder.KeptAmong(first, cell_repeat_)) {
        ChargeCell(row_bytes_, text.size());  // the sheet's count follows as the row is put
        row_cells_.emplace_back(col, text);
      }
      return;
    }
    for (std::uint64_t col = first; col < first + cell_repeat_; ++col) {
      table_->builder.Charge(text.size());
      row_cells_.emplace_back(col, text);
    }
  }

  void EndRow() {
    if (row_holds_ && table_->rows + row_repeat_ > kMaxRows) return Refuse(kPastLimits);
    std::uint64_t repeat = row_repeat_;
    if (!table_->named) {
      std::vector<std::string> names;
      for (auto& [col, text] : row_cells_) {
        if (names.size() <= col) names.resize(col + 1);
        names[col] = text;
      }
      table_->builder.SetNames(names);
      table_->named = true;
      table_->rows = 1;
      --repeat;
      if (repeat > 0) {
        // The names row repeated: the rows below hold the names again, in the kept columns.
        std::erase_if(row_cells_,
                      [&](const auto& cell) { return !table_->builder.Wants(cell.first); });
      }
    }
    if (row_cells_.empty()) {
      table_->rows = std::min(table_->rows + repeat, kMaxRows);
      return;
    }
    for (std::uint64_t r = 0; r < repeat; ++r, ++table_->rows) {
      for (const auto& [col, text] : row_cells_) table_->builder.Put(table_->rows, col, text);
    }
  }

  void Add(std::string_view text) {
    if (!keep_ || string_value_) return;
    text_ += text;
    if (text_.size() > kMaxCellBytes) Refuse(kUnreadable);
  }

  std::string sheet_;
  const std::vector<std::string>& wanted_;
  const SheetRowSink& take_;
  std::unique_ptr<Table> wanted_table_;
  std::unique_ptr<Table> first_table_;
  Table* table_ = nullptr;  // the table being read, when it is kept
  int tables_ = 0;
  int table_depth_ = 0;
  std::uint64_t row_repeat_ = 1;
  std::uint64_t column_ = 0;
  std::uint64_t cell_repeat_ = 1;
  bool row_holds_ = false;
  std::vector<std::pair<std::uint64_t, std::string>> row_cells_;
  std::size_t row_bytes_ = 0;  // what row_cells_ holds, counted against kMaxSheetBytes
  bool in_cell_ = false;
  bool keep_ = false;
  bool error_ = false;
  bool string_value_ = false;  // the value attribute, not the text shown, is the cell's text
  int annotation_ = 0;
  int paragraphs_ = 0;
  int in_paragraph_ = 0;  // inside a paragraph (line breaks between them are no text)
  std::string value_;
  std::string text_;
};

}  // namespace

Sheet ReadOdsSheet(std::string_view bytes, std::string_view sheet,
                   const std::vector<std::string>& wanted, const Progress& progress,
                   const SheetRowSink& take) {
  const ZipArchive archive(bytes);
  Content content(sheet, wanted, take);
  content.ReadFrom(archive, "content.xml", progress);
  return content.Result();
}

}  // namespace files
