#include "core/store/legacy_text.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include "core/common/text_encoding.h"

namespace store {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

// Walks UTF-8 text; false at the first malformed, overlong or out-of-range sequence. Sets
// *two_byte when a character between U+0080 and U+07FF occurs.
bool ScanUtf8(std::string_view text, bool* two_byte) {
  size_t i = 0;
  while (i < text.size()) {
    auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size()) return false;
    char32_t code = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
      code = (code << 6) | (byte(i + k) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    if (length == 2) *two_byte = true;
    i += length;
  }
  return true;
}

// A value is taken as GBK when it reads as GBK without a fault and either is not UTF-8 or,
// read as UTF-8, holds letters between U+0080 and U+07FF (Latin, Greek, Cyrillic...): a till's
// text never holds those, but GBK characters whose bytes happen to be UTF-8 too become them
// ("瓶" is C6 BF in GBK, "ƿ" in UTF-8). Text that is neither is left as it is, so nothing is
// lost.
bool LooksLikeGbk(std::string_view text, std::string* converted) {
  bool two_byte = false;
  if (ScanUtf8(text, &two_byte) && !two_byte) return false;
  std::string utf8 = common::GbkToUtf8(std::string(text));
  if (utf8.find(kReplacement) != std::string::npos) return false;
  *converted = std::move(utf8);
  return true;
}

std::string_view ArgumentText(sqlite3_value* value) {
  const unsigned char* text = sqlite3_value_text(value);
  if (!text) return {};
  return {reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_value_bytes(value))};
}

void IsUtf8Function(sqlite3_context* context, int, sqlite3_value** argv) {
  bool two_byte = false;
  sqlite3_result_int(context, ScanUtf8(ArgumentText(argv[0]), &two_byte) ? 1 : 0);
}

void LooksLikeGbkFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  std::string converted;
  sqlite3_result_int(context, LooksLikeGbk(ArgumentText(argv[0]), &converted) ? 1 : 0);
}

void FromGbkFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  std::string converted;
  std::string_view text = ArgumentText(argv[0]);
  if (!LooksLikeGbk(text, &converted)) converted = std::string(text);
  sqlite3_result_text(context, converted.data(), static_cast<int>(converted.size()),
                      SQLITE_TRANSIENT);
}

// The three helpers above, callable from SQL for as long as the conversion runs, so the
// statements can scan and rewrite whole tables without copying their rows out.
class TextFunctions {
 public:
  explicit TextFunctions(sqlite3* db) : db_(db) {
    Register("tillwise_is_utf8", &IsUtf8Function);
    Register("tillwise_looks_gbk", &LooksLikeGbkFunction);
    Register("tillwise_from_gbk", &FromGbkFunction);
  }
  TextFunctions(const TextFunctions&) = delete;
  TextFunctions& operator=(const TextFunctions&) = delete;
  ~TextFunctions() {
    for (const char* name : {"tillwise_is_utf8", "tillwise_looks_gbk", "tillwise_from_gbk"}) {
      sqlite3_create_function_v2(db_, name, 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                                 nullptr);
    }
  }

 private:
  void Register(const char* name, void (*function)(sqlite3_context*, int, sqlite3_value**)) {
    if (sqlite3_create_function_v2(db_, name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   function, nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw DbError(std::string("cannot register ") + name);
    }
  }

  sqlite3* db_;
};

// Names come from the file itself; quoting keeps any name a plain identifier.
std::string Quoted(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

struct Table {
  std::string name;
  std::vector<std::string> columns;
};

std::vector<Table> OrdinaryTables(Database& db) {
  std::vector<Table> tables;
  Statement names = db.Query(
      "select name from pragma_table_list where schema = 'main' and type = 'table' "
      "and name not like 'sqlite\\_%' escape '\\' order by name");
  while (names.Step()) tables.push_back({names.Text(0), {}});
  for (Table& table : tables) {
    Statement columns = db.Query("select name from pragma_table_info(?)", table.name);
    while (columns.Step()) table.columns.push_back(columns.Text(0));
  }
  return tables;
}

bool HoldsNonUtf8Text(Database& db, const Table& table) {
  if (table.columns.empty()) return false;
  std::string condition;
  for (const std::string& column : table.columns) {
    if (!condition.empty()) condition += " or ";
    condition += "(typeof(" + Quoted(column) + ") = 'text' and not tillwise_is_utf8(" +
                 Quoted(column) + "))";
  }
  return db.HasRow("select 1 from " + Quoted(table.name) + " where " + condition + " limit 1");
}

void ConvertTable(Database& db, const Table& table) {
  for (const std::string& column : table.columns) {
    std::string c = Quoted(column);
    db.Exec("update " + Quoted(table.name) + " set " + c + " = tillwise_from_gbk(" + c +
            ") where typeof(" + c + ") = 'text' and tillwise_looks_gbk(" + c + ")");
  }
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  bool two_byte = false;
  return ScanUtf8(text, &two_byte);
}

bool ConvertLegacyText(Database& db) {
  if (db.QueryInt("pragma user_version").value_or(0) >= kUtf8TextVersion) return false;
  TextFunctions functions(db.handle());
  Transaction tx(db);
  std::vector<Table> tables = OrdinaryTables(db);
  bool legacy = false;
  for (const Table& table : tables) {
    if (HoldsNonUtf8Text(db, table)) {
      legacy = true;
      break;
    }
  }
  if (legacy) {
    for (const Table& table : tables) ConvertTable(db, table);
  }
  db.ExecScript("pragma user_version = " + std::to_string(kUtf8TextVersion));
  tx.Commit();
  return legacy;
}

}  // namespace store
