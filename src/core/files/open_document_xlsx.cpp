// Reads the sheet of an .xlsx workbook: the workbook part names the sheets, its relations
// say where their parts are, the styles say which numbers are dates, the shared strings hold
// the texts cells refer to by number. The sheet part is streamed; only the first row and the
// kept columns are taken out of it, and only the shared strings those cells use.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

#include "core/common/error.h"
#include "core/files/open_document_styles.h"
#include "core/files/spreadsheet_cells.h"
#include "core/files/spreadsheet_xml.h"

namespace files {
namespace {

constexpr const char* kUnreadable = "打开文件错误";

// The value of a hexadecimal digit, -1 for any other character.
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The escape at text[at] ("_x000D_"), as its UTF-16 unit; -1 when there is none.
long EscapeAt(const std::string& text, std::size_t at) {
  if (text.size() - at < 7 || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_') {
    return -1;
  }
  long unit = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

// Workbooks write characters XML cannot carry (CR among them) as "_xHHHH_", and a text that
// looks like such an escape with its "_" written as "_x005F_".
std::string Unescaped(std::string text) {
  if (text.find("_x") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    long unit = EscapeAt(text, i);
    if (unit < 0) {
      out += text[i++];
      continue;
    }
    i += 7;
    char32_t code = static_cast<char32_t>(unit);
    const long low = unit >= 0xD800 && unit <= 0xDBFF ? EscapeAt(text, i) : -1;
    if (low >= 0xDC00 && low <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + static_cast<char32_t>(low - 0xDC00);
      i += 7;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      code = 0xFFFD;
    }
    AppendUtf8(out, code);
  }
  return out;
}

template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// A part named by a relation: relative to the folder of the part that names it, or from the
// archive's root when it starts with "/".
std::string PartPath(std::string_view folder, std::string_view target) {
  std::string path = target.starts_with('/') ? std::string(target.substr(1))
                                             : std::string(folder) + std::string(target);
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string piece = path.substr(start, end - start);
    if (piece == "..") {
      if (!pieces.empty()) pieces.pop_back();
    } else if (!piece.empty() && piece != ".") {
      pieces.push_back(piece);
    }
    start = end + 1;
  }
  std::string joined;
  for (const std::string& piece : pieces) joined += (joined.empty() ? "" : "/") + piece;
  return joined;
}

std::string FolderOf(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? "" : std::string(part.substr(0, slash + 1));
}

// Where a part's relations are: "xl/workbook.xml" has "xl/_rels/workbook.xml.rels".
std::string RelationsOf(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  const std::size_t name = slash == std::string_view::npos ? 0 : slash + 1;
  return std::string(part.substr(0, name)) + "_rels/" + std::string(part.substr(name)) + ".rels";
}

class Relations : public XmlPart {
 public:
  explicit Relations(std::string folder) : folder_(std::move(folder)) {}
  std::map<std::string, std::string> by_id;
  std::map<std::string, std::string> by_type;  // the last word of the type: "styles", ...

 private:
  void Start(std::string_view name, const Attributes& a) override {
    if (name != "Relationship") return;
    const std::string path = PartPath(folder_, a.Get("Target"));
    by_id[std::string(a.Get("Id"))] = path;
    const std::string_view type = a.Get("Type");
    by_type[std::string(type.substr(type.rfind('/') + 1))] = path;
  }
  void End(std::string_view) override {}
  void Text(std::string_view) override {}

  std::string folder_;
};

class Workbook : public XmlPart {
 public:
  std::vector<std::pair<std::string, std::string>> sheets;  // name and relation id
  bool date1904 = false;

 private:
  void Start(std::string_view name, const Attributes& a) override {
    if (name == "sheet") {
      sheets.emplace_back(a.Get("name"), a.Get("id"));
    } else if (name == "workbookPr") {
      date1904 = a.Get("date1904") == "1" || a.Get("date1904") == "true";
    }
  }
  void End(std::string_view) override {}
  void Text(std::string_view) override {}
};

class Styles : public XmlPart {
 public:
  explicit Styles(NumberFormats& formats) : formats_(formats) {}

 private:
  void Start(std::string_view name, const Attributes& a) override {
    std::size_t id = 0;
    if (name == "numFmt" && ReadNumber(a.Get("numFmtId"), id)) {
      formats_.AddFormat(id, std::string(a.Get("formatCode")));
    } else if (name == "cellXfs") {
      in_cell_formats_ = true;
    } else if (name == "xf" && in_cell_formats_) {
      ReadNumber(a.Get("numFmtId"), id);
      formats_.AddCellFormat(id);
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") in_cell_formats_ = false;
  }
  void Text(std::string_view) override {}

  NumberFormats& formats_;
  bool in_cell_formats_ = false;
};

void SortedOnce(std::vector<std::uint32_t>& numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

// The shared strings of the given numbers (sorted, each once); the others are read past.
class SharedStrings : public XmlPart {
 public:
  explicit SharedStrings(const std::vector<std::uint32_t>& wanted)
      : wanted_(wanted), found_(wanted.size()) {}
  // The string of a wanted number; refuses a number the part does not hold.
  const std::string& At(std::uint32_t index) const {
    const auto at = std::lower_bound(wanted_.begin(), wanted_.end(), index) - wanted_.begin();
    if (static_cast<std::size_t>(at) >= seen_) throw common::UserError(kUnreadable);
    return found_[static_cast<std::size_t>(at)];
  }

 private:
  void Start(std::string_view name, const Attributes&) override {
    if (name == "si") {
      keep_ = next_ < wanted_.size() && wanted_[next_] == index_;
      text_.clear();
    } else if (name == "rPh") {
      ++phonetic_;  // the reading aid of Japanese text is not part of the string
    } else if (name == "t") {
      in_text_ = keep_ && phonetic_ == 0;
    }
  }
  void End(std::string_view name) override {
    if (name == "si") {
      if (keep_) found_[next_++] = Unescaped(std::move(text_));
      seen_ = next_;
      ++index_;
    } else if (name == "rPh") {
      --phonetic_;
    } else if (name == "t") {
      in_text_ = false;
    }
  }
  void Text(std::string_view text) override {
    if (!in_text_) return;
    text_ += text;
    if (text_.size() > kMaxCellBytes) Refuse(kUnreadable);
  }

  const std::vector<std::uint32_t>& wanted_;
  std::vector<std::string> found_;
  std::size_t next_ = 0;  // the next wanted number not yet found
  std::size_t seen_ = 0;
  std::uint32_t index_ = 0;
  bool keep_ = false;
  bool in_text_ = false;
  int phonetic_ = 0;
  std::string text_;
};

// A sheet part read once for its first row (names), or once more for the kept columns of the
// rows below it. Their shared strings are filled in afterwards, or taken at once from strings
// read before (when the rows are handed on); a reading for numbers only collects the numbers
// of the shared strings the kept cells use.
class SheetCells : public XmlPart {
 public:
  // A cell whose text is a shared string, to be filled in once the strings are read.
  struct Shared {
    SheetBuilder::Place place;  // row 0: a cell of the first row, column the sheet's column
    std::uint32_t index = 0;
  };

  SheetCells(const NumberFormats& formats, SheetBuilder* builder,
             const SharedStrings* strings = nullptr, std::vector<std::uint32_t>* numbers = nullptr)
      : formats_(formats), builder_(builder), strings_(strings), numbers_(numbers) {}

  std::vector<std::string> names;  // the first row, when read without a builder
  std::vector<Shared> shared;

 private:
  void Start(std::string_view name, const Attributes& a) override {
    if (name == "row") {
      StartRow(a.Get("r"));
    } else if (name == "c") {
      StartCell(a);
    } else if (!keep_) {
      return;
    } else if (name == "v") {
      in_ = &value_;
    } else if (name == "f") {
      formula_ = true;
      in_ = &formula_text_;
    } else if (name == "rPh") {
      ++phonetic_;
    } else if (name == "t" && phonetic_ == 0) {
      in_ = &value_;  // the text of an inline string
    }
  }

  void End(std::string_view name) override {
    if (name == "c") {
      if (keep_) EndCell();
      keep_ = false;
    } else if (name == "rPh") {
      --phonetic_;
    }
    if (name == "v" || name == "f" || name == "t") in_ = nullptr;
  }

  void Text(std::string_view text) override {
    if (!in_) return;
    *in_ += text;
    if (in_->size() > kMaxCellBytes) Refuse(kUnreadable);
  }

  void StartRow(std::string_view number) {
    std::uint64_t row = row_ + 1;
    if (!number.empty() && (number.size() > 9 || !ReadNumber(number, row) || row == 0)) {
      return Refuse(number.size() > 9 ? kPastLimits : kUnreadable);
    }
    if (row > kMaxRows) return Refuse(kPastLimits);
    if (row <= row_) return Refuse(kUnreadable);  // rows come in order
    if (!builder_ && row > 1) return Stop();      // the first row is all this reading wants
    row_ = row;
    next_column_ = 0;
  }

  void StartCell(const Attributes& a) {
    std::uint64_t column = next_column_;
    const std::string_view address = a.Get("r");
    if (!address.empty()) {
      column = 0;
      std::size_t letters = 0;
      while (letters < address.size() &&
             std::isalpha(static_cast<unsigned char>(address[letters]))) {
        if (letters == 3) return Refuse(kPastLimits);
        const int letter = std::toupper(static_cast<unsigned char>(address[letters++]));
        column = column * 26 + static_cast<std::uint64_t>(letter - 'A' + 1);
      }
      if (letters == 0) return Refuse(kUnreadable);
      --column;
    }
    if (column >= kMaxColumns) return Refuse(kPastLimits);
    next_column_ = column + 1;
    column_ = column;
    if (row_ == 0) return Refuse(kUnreadable);  // a cell outside any row
    keep_ = builder_ ? row_ > 1 && builder_->Wants(column) : row_ == 1;
    if (!keep_) return;
    type_ = a.Get("t");
    format_ = 0;
    ReadNumber(a.Get("s"), format_);
    formula_ = false;
    value_.clear();
    formula_text_.clear();
    phonetic_ = 0;
  }

  // The cell's text as the kind of cell says; never empty for a cell that holds something,
  // so that an error, a boolean or an uncalculated formula cannot pass for an empty number.
  void EndCell() {
    std::string text;
    if (type_ == "s") {
      std::uint32_t index = 0;
      if (!ReadNumber(value_, index)) return Refuse(kUnreadable);
      if (numbers_) return KeepNumber(index);
      if (!strings_) {
        shared.push_back({Put(""), index});
      } else if (const std::string& found = strings_->At(index); !found.empty()) {
        Put(found);
      }
      return;
    }
    if (numbers_) return;
    if (type_ == "inlineStr" || type_ == "str") {
      text = Unescaped(std::move(value_));
    } else if (type_ == "b") {
      text = value_ == "1" ? "TRUE" : "FALSE";
    } else if (type_ == "e") {
      text = value_;
    } else if (type_ == "d") {
      text = IsoDateText(value_);
    } else if (value_.empty()) {
      if (formula_) text = "=" + formula_text_;
    } else {
      double number = 0;
      text = ReadNumber(value_, number) ? formats_.Text(number, format_) : value_;
    }
    if (!text.empty()) Put(std::move(text));
  }

  // Each number once, sorted, however many cells use it.
  void KeepNumber(std::uint32_t index) {
    numbers_->push_back(index);
    if (numbers_->size() >= compact_at_) {
      SortedOnce(*numbers_);
      compact_at_ = std::max<std::size_t>(compact_at_, numbers_->size() * 2);
    }
  }

  SheetBuilder::Place Put(std::string text) {
    if (!builder_) {
      ChargeCell(names_bytes_, text.size());
      if (names.size() <= column_) names.resize(column_ + 1);
      names[column_] = std::move(text);
      return {0, static_cast<std::size_t>(column_)};
    }
    return builder_->Put(row_ - 1, column_, std::move(text));
  }

  const NumberFormats& formats_;
  SheetBuilder* builder_;
  const SharedStrings* strings_;
  std::vector<std::uint32_t>* numbers_;
  std::size_t compact_at_ = 1 << 16;
  std::uint64_t row_ = 0;  // 1-based, as the sheet counts
  std::uint64_t next_column_ = 0;
  std::uint64_t column_ = 0;
  bool keep_ = false;
  std::string type_;
  std::uint32_t format_ = 0;
  bool formula_ = false;
  int phonetic_ = 0;
  std::string value_;
  std::string formula_text_;
  std::string* in_ = nullptr;
  std::size_t names_bytes_ = 0;  // what the names row holds, counted against kMaxSheetBytes
};

// The numbers of the shared strings the cells use, sorted, each once.
std::vector<std::uint32_t> Numbers(const std::vector<SheetCells::Shared>& cells) {
  std::vector<std::uint32_t> numbers;
  numbers.reserve(cells.size());
  for (const SheetCells::Shared& cell : cells) numbers.push_back(cell.index);
  SortedOnce(numbers);
  return numbers;
}

}  // namespace

Sheet ReadXlsxSheet(std::string_view bytes, std::string_view sheet,
                    const std::vector<std::string>& wanted, const Progress& progress,
                    const SheetRowSink& take) {
  const ZipArchive archive(bytes);
  Relations package("");
  if (archive.Has("_rels/.rels")) package.ReadFrom(archive, "_rels/.rels");
  std::string book_part = package.by_type["officeDocument"];
  if (book_part.empty()) book_part = "xl/workbook.xml";
  Workbook book;
  book.ReadFrom(archive, book_part);
  Relations relations(FolderOf(book_part));
  if (archive.Has(RelationsOf(book_part))) relations.ReadFrom(archive, RelationsOf(book_part));
  const auto chosen = std::find_if(book.sheets.begin(), book.sheets.end(),
                                   [&](const auto& named) { return named.first == sheet; });
  if (chosen == book.sheets.end() && book.sheets.size() != 1) throw common::UserError(kUnreadable);
  const std::string& id = chosen == book.sheets.end() ? book.sheets.front().second : chosen->second;
  const std::string sheet_part = relations.by_id[id];
  NumberFormats formats;
  if (book.date1904) formats.SetOriginDate(1904, 1, 1);
  const std::string styles_part = relations.by_type["styles"];
  if (!styles_part.empty() && archive.Has(styles_part)) {
    Styles styles(formats);
    styles.ReadFrom(archive, styles_part);
  }
  const std::string strings_part = relations.by_type["sharedStrings"];
  // Reads the texts of the cells that refer to a shared string.
  auto fill = [&](const std::vector<SheetCells::Shared>& cells, auto&& put) {
    if (cells.empty()) return;
    if (strings_part.empty() || !archive.Has(strings_part)) throw common::UserError(kUnreadable);
    const std::vector<std::uint32_t> numbers = Numbers(cells);
    SharedStrings strings(numbers);
    strings.ReadFrom(archive, strings_part);
    for (const SheetCells::Shared& cell : cells) put(cell.place, strings.At(cell.index));
  };

  SheetCells first_row(formats, nullptr);
  first_row.ReadFrom(archive, sheet_part);
  std::size_t names_bytes = 0;
  fill(first_row.shared, [&](const SheetBuilder::Place& place, const std::string& text) {
    ChargeCell(names_bytes, text.size());
    first_row.names[place.column] = text;
  });
  if (take) {
    // Handed on row by row: the strings the kept cells use are read first, so that each row
    // is whole when it is read.
    SheetBuilder builder(wanted, take);
    builder.SetNames(first_row.names);
    std::vector<std::uint32_t> numbers;
    if (!strings_part.empty() && archive.Has(strings_part)) {
      SheetCells used(formats, &builder, nullptr, &numbers);
      used.ReadFrom(archive, sheet_part);
      SortedOnce(numbers);
    }
    SharedStrings strings(numbers);
    if (!numbers.empty()) strings.ReadFrom(archive, strings_part);
    SheetCells rows(formats, &builder, &strings);
    rows.ReadFrom(archive, sheet_part, progress);
    return builder.Finish();
  }
  SheetBuilder builder(wanted);
  builder.SetNames(first_row.names);
  SheetCells rows(formats, &builder);
  rows.ReadFrom(archive, sheet_part, progress);
  fill(rows.shared, [&](const SheetBuilder::Place& place, const std::string& text) {
    builder.Charge(text.size());
    builder.At(place) = text;
  });
  return builder.Finish();
}

}  // namespace files
