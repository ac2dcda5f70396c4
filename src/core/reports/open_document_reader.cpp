// Reads .xlsx and .ods workbooks through liborcus into plain text cells. liborcus calls the
// import interfaces below for every cell, string, number format and formula result; only
// the wanted sheet (and the first, in case it is the only one) is kept.

#include <cmath>
#include <exception>
#include <map>
#include <memory>
#include <orcus/format_detection.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include "core/common/error.h"
#include "core/reports/open_document_styles.h"
#include "core/reports/spreadsheet_cells.h"

namespace reports {
namespace {

namespace iface = orcus::spreadsheet::iface;
using orcus::spreadsheet::col_t;
using orcus::spreadsheet::row_t;

constexpr row_t kRowsPerReport = 4096;

struct Cell {
  enum class Kind : std::uint8_t { kEmpty, kText, kNumber };
  Kind kind = Kind::kEmpty;
  std::uint32_t xf = 0;
  double number = 0;
  std::string text;
};

class SharedStrings : public iface::import_shared_strings {
 public:
  std::size_t append(std::string_view s) override {
    strings_.emplace_back(s);
    return strings_.size() - 1;
  }
  std::size_t add(std::string_view s) override { return append(s); }
  void set_segment_font(std::size_t) override {}
  void set_segment_bold(bool) override {}
  void set_segment_italic(bool) override {}
  void set_segment_font_name(std::string_view) override {}
  void set_segment_font_size(double) override {}
  void set_segment_font_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                              orcus::spreadsheet::color_elem_t,
                              orcus::spreadsheet::color_elem_t) override {}
  void append_segment(std::string_view s) override { segments_ += s; }
  std::size_t commit_segments() override {
    std::size_t index = append(segments_);
    segments_.clear();
    return index;
  }
  const std::string& At(std::size_t index) const {
    static const std::string kNone;
    return index < strings_.size() ? strings_[index] : kNone;
  }

 private:
  std::vector<std::string> strings_;
  std::string segments_;
};

class CollectedSheet;

// A formula's stored result, put into its cell when the formula is committed.
class FormulaResult : public iface::import_formula {
 public:
  explicit FormulaResult(CollectedSheet& sheet) : sheet_(sheet) {}
  void set_position(row_t row, col_t col) override {
    row_ = row;
    col_ = col;
    result_ = Cell();
  }
  void set_formula(orcus::spreadsheet::formula_grammar_t, std::string_view) override {}
  void set_shared_formula_index(std::size_t) override {}
  void set_result_string(std::string_view value) override {
    result_.kind = Cell::Kind::kText;
    result_.text = value;
  }
  void set_result_value(double value) override {
    result_.kind = Cell::Kind::kNumber;
    result_.number = value;
  }
  void set_result_bool(bool value) override { set_result_string(value ? "TRUE" : "FALSE"); }
  void set_result_empty() override { result_ = Cell(); }
  void commit() override;

 private:
  CollectedSheet& sheet_;
  row_t row_ = 0;
  col_t col_ = 0;
  Cell result_;
};

class CollectedSheet : public iface::import_sheet {
 public:
  CollectedSheet(const SharedStrings& strings, bool keep, const Progress& progress)
      : strings_(strings), keep_(keep), progress_(progress), formula_(*this) {}

  iface::import_formula* get_formula() override { return &formula_; }
  void set_auto(row_t row, col_t col, std::string_view s) override {
    if (Cell* cell = At(row, col)) Text(*cell, s);
  }
  void set_string(row_t row, col_t col, orcus::spreadsheet::string_id_t id) override {
    if (Cell* cell = At(row, col)) Text(*cell, strings_.At(id));
  }
  void set_value(row_t row, col_t col, double value) override {
    if (Cell* cell = At(row, col)) {
      cell->kind = Cell::Kind::kNumber;
      cell->number = value;
    }
  }
  void set_bool(row_t row, col_t col, bool value) override {
    if (Cell* cell = At(row, col)) Text(*cell, value ? "TRUE" : "FALSE");
  }
  void set_date_time(row_t row, col_t col, int year, int month, int day, int hour, int minute,
                     double second) override {
    if (Cell* cell = At(row, col)) {
      Text(*cell, DateTimeText(year, month, day, hour, minute, static_cast<int>(second)));
    }
  }
  void set_format(row_t row, col_t col, std::size_t xf) override {
    if (Cell* cell = At(row, col)) cell->xf = static_cast<std::uint32_t>(xf);
  }
  void set_format(row_t row_start, col_t col_start, row_t row_end, col_t col_end,
                  std::size_t xf) override {
    // Only cells that hold something matter; a format over a whole column must not
    // create a million empty cells.
    if (!keep_) return;
    for (row_t row = row_start; row <= row_end && row < static_cast<row_t>(cells_.size()); ++row) {
      std::vector<Cell>& line = cells_[row];
      for (col_t col = col_start; col <= col_end && col < static_cast<col_t>(line.size()); ++col) {
        line[col].xf = static_cast<std::uint32_t>(xf);
      }
    }
  }
  void fill_down_cells(row_t src_row, col_t src_col, row_t range_size) override {
    Cell* source = At(src_row, src_col);
    if (!source) return;
    const Cell copy = *source;
    for (row_t row = src_row + 1; row <= src_row + range_size; ++row) *At(row, src_col) = copy;
  }
  orcus::spreadsheet::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

  void Put(row_t row, col_t col, const Cell& value) {
    if (Cell* cell = At(row, col)) {
      const std::uint32_t xf = cell->xf;
      *cell = value;
      cell->xf = xf;
    }
  }

  CellGrid Texts(const NumberFormats& formats) const {
    CellGrid grid(cells_.size());
    for (std::size_t row = 0; row < cells_.size(); ++row) {
      grid[row].reserve(cells_[row].size());
      for (const Cell& cell : cells_[row]) {
        if (cell.kind == Cell::Kind::kNumber) {
          grid[row].push_back(formats.Text(cell.number, cell.xf));
        } else {
          grid[row].push_back(cell.text);
        }
      }
    }
    return grid;
  }

 private:
  static void Text(Cell& cell, std::string_view text) {
    cell.kind = Cell::Kind::kText;
    cell.text = text;
  }

  Cell* At(row_t row, col_t col) {
    if (!keep_ || row < 0 || col < 0) return nullptr;
    if (static_cast<std::size_t>(row) >= cells_.size()) {
      if (row >= next_report_) {
        ReportProgress(progress_, static_cast<std::size_t>(row), 0);
        next_report_ = row + kRowsPerReport;
      }
      cells_.resize(static_cast<std::size_t>(row) + 1);
    }
    std::vector<Cell>& line = cells_[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(col) >= line.size())
      line.resize(static_cast<std::size_t>(col) + 1);
    return &line[static_cast<std::size_t>(col)];
  }

  const SharedStrings& strings_;
  bool keep_;
  const Progress& progress_;
  FormulaResult formula_;
  row_t next_report_ = kRowsPerReport;
  std::vector<std::vector<Cell>> cells_;
};

void FormulaResult::commit() { sheet_.Put(row_, col_, result_); }

class GlobalSettings : public iface::import_global_settings {
 public:
  explicit GlobalSettings(NumberFormats& formats) : formats_(formats) {}
  void set_origin_date(int year, int month, int day) override {
    formats_.SetOriginDate(year, month, day);
  }
  void set_default_formula_grammar(orcus::spreadsheet::formula_grammar_t grammar) override {
    grammar_ = grammar;
  }
  orcus::spreadsheet::formula_grammar_t get_default_formula_grammar() const override {
    return grammar_;
  }
  void set_character_set(orcus::character_set_t) override {}

 private:
  NumberFormats& formats_;
  orcus::spreadsheet::formula_grammar_t grammar_ = orcus::spreadsheet::formula_grammar_t::unknown;
};

// Cell addresses as the sheets of an .xlsx name their cells ("B7", "$A$1", "A1:C3").
class A1Resolver : public iface::import_reference_resolver {
 public:
  orcus::spreadsheet::src_address_t resolve_address(std::string_view address) override {
    orcus::spreadsheet::src_address_t result{0, 0, 0};
    std::size_t i = 0;
    long col = 0;
    long row = 0;
    for (; i < address.size(); ++i) {
      const char c = address[i];
      if (c >= 'A' && c <= 'Z') {
        col = col * 26 + (c - 'A' + 1);
      } else if (c >= 'a' && c <= 'z') {
        col = col * 26 + (c - 'a' + 1);
      } else if (c >= '0' && c <= '9') {
        row = row * 10 + (c - '0');
      } else if (c != '$') {
        throw kasso::UserError("打开文件错误");
      }
      if (col > 16384 || row > 1048576) throw kasso::UserError("打开文件错误");
    }
    if (col == 0 || row == 0) throw kasso::UserError("打开文件错误");
    result.row = static_cast<row_t>(row - 1);
    result.column = static_cast<col_t>(col - 1);
    return result;
  }
  orcus::spreadsheet::src_range_t resolve_range(std::string_view range) override {
    const std::size_t colon = range.find(':');
    if (colon == std::string_view::npos) {
      auto single = resolve_address(range);
      return {single, single};
    }
    return {resolve_address(range.substr(0, colon)), resolve_address(range.substr(colon + 1))};
  }
};

class Collector : public iface::import_factory {
 public:
  Collector(std::string_view wanted, const Progress& progress)
      : wanted_(wanted), progress_(progress), settings_(formats_), styles_(formats_) {}

  iface::import_global_settings* get_global_settings() override { return &settings_; }
  iface::import_shared_strings* get_shared_strings() override { return &strings_; }
  iface::import_styles* get_styles() override { return &styles_; }
  iface::import_reference_resolver* get_reference_resolver(
      orcus::spreadsheet::formula_ref_context_t) override {
    return &resolver_;
  }
  iface::import_sheet* append_sheet(orcus::spreadsheet::sheet_t index,
                                    std::string_view name) override {
    const bool wanted = name == wanted_;
    if (wanted) wanted_index_ = static_cast<int>(sheets_.size());
    sheets_.push_back(std::make_unique<CollectedSheet>(strings_, wanted || index == 0, progress_));
    names_.emplace_back(name);
    return sheets_.back().get();
  }
  iface::import_sheet* get_sheet(std::string_view name) override {
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == name) return sheets_[i].get();
    }
    return nullptr;
  }
  iface::import_sheet* get_sheet(orcus::spreadsheet::sheet_t index) override {
    if (index < 0 || static_cast<std::size_t>(index) >= sheets_.size()) return nullptr;
    return sheets_[static_cast<std::size_t>(index)].get();
  }
  void finalize() override {}

  // The wanted sheet, or the only one; throws when there is neither.
  CellGrid Result() const {
    int chosen = wanted_index_ >= 0 ? wanted_index_ : sheets_.size() == 1 ? 0 : -1;
    if (chosen < 0) throw kasso::UserError("打开文件错误");
    return sheets_[static_cast<std::size_t>(chosen)]->Texts(formats_);
  }

 private:
  std::string wanted_;
  const Progress& progress_;
  NumberFormats formats_;
  GlobalSettings settings_;
  SharedStrings strings_;
  FormatStyles styles_;
  A1Resolver resolver_;
  std::vector<std::unique_ptr<CollectedSheet>> sheets_;
  std::vector<std::string> names_;
  int wanted_index_ = -1;
};

}  // namespace

CellGrid ReadOpenDocumentGrid(const std::string& bytes, std::string_view sheet,
                              const Progress& progress) {
  const orcus::format_t format =
      orcus::detect(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  if (format != orcus::format_t::xlsx && format != orcus::format_t::ods) {
    throw kasso::UserError("打开文件错误");
  }
  Collector collector(sheet, progress);
  try {
    if (format == orcus::format_t::xlsx) {
      orcus::orcus_xlsx(&collector).read_stream(bytes);
    } else {
      orcus::orcus_ods(&collector).read_stream(bytes);
    }
  } catch (const Cancelled&) {
    throw;
  } catch (const std::exception&) {
    // A damaged archive, broken XML inside it or a cell address out of range.
    throw kasso::UserError("打开文件错误");
  }
  return collector.Result();
}

}  // namespace reports
