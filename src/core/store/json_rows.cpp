#include "core/store/json_rows.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "core/store/database.h"

namespace store {
namespace {

// The length of the well-formed UTF-8 sequence at the start of text, or 0 when its first bytes
// are not one (a stray byte of an older file's GBK text, a cut character, an overlong form).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

void AppendJsonText(std::string& out, std::string_view text) {
  out += '"';
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    std::size_t taken = 1;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else if (const std::size_t length = Utf8SequenceLength(text); length > 0) {
          out.append(text.substr(0, length));
          taken = length;
        } else {
          out += "\\ufffd";
        }
    }
    text.remove_prefix(taken);
  }
  out += '"';
}

void AppendRowAsJson(std::string& out, sqlite3_stmt* raw, int first_column) {
  out += '{';
  const int columns = sqlite3_column_count(raw);
  for (int c = first_column; c < columns; ++c) {
    if (c > first_column) out += ',';
    std::string name = sqlite3_column_name(raw, c);
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    AppendJsonText(out, name);
    out += ':';
    switch (sqlite3_column_type(raw, c)) {
      case SQLITE_NULL:
        out += "null";
        break;
      case SQLITE_INTEGER:
        out += std::to_string(sqlite3_column_int64(raw, c));
        break;
      case SQLITE_FLOAT: {
        // JSON has no infinity or NaN; the server would refuse the batch over one.
        if (!std::isfinite(sqlite3_column_double(raw, c))) {
          out += "null";
          break;
        }
        char number[32];
        auto [end, error] =
            std::to_chars(number, number + sizeof number, sqlite3_column_double(raw, c));
        out.append(number, error == std::errc() ? end : number);
        break;
      }
      default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, c));
        AppendJsonText(out, text != nullptr ? text : "");
      }
    }
  }
  out += '}';
}

std::string RowsAsJson(sqlite3* db, std::string_view sql, const std::string& key, bool by_number) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    throw DbError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
  }
  std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
  if (by_number) {
    sqlite3_bind_int64(raw, 1, std::stoll(key));
  } else {
    sqlite3_bind_text(raw, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
  }
  std::string out = "[";
  int step;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
    if (out.size() > 1) out += ',';
    AppendRowAsJson(out, raw, 0);
  }
  if (step != SQLITE_DONE) throw DbError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
  return out + "]";
}

}  // namespace store
