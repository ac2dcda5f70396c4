#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace store {

// Text as a JSON string. The shop server refuses a whole statement over one string that is not
// UTF-8, which would hold every later record back for good, so a byte that is not part of a
// well-formed character goes as U+FFFD.
void AppendJsonText(std::string& out, std::string_view text);

// The current row of a stepped statement as a JSON object, from column first_column on.
void AppendRowAsJson(std::string& out, sqlite3_stmt* row, int first_column);

// The rows of the statement (one parameter, bound to key: as a number when by_number) as a
// JSON array of objects, column names lower-cased; numbers in their shortest exact form, so
// the same rows always give the same text. A figure that is not finite goes as null.
std::string RowsAsJson(sqlite3* db, std::string_view sql, const std::string& key, bool by_number);

}  // namespace store
