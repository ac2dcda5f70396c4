#pragma once

#include <string_view>

#include "core/store/database.h"

namespace store {

// The file's `pragma user_version` once its text is known to be UTF-8: either it held no
// old-style text or that text has been converted. A file marked so is never scanned again.
inline constexpr int kUtf8TextVersion = 1;

bool IsValidUtf8(std::string_view text);

// Files from the earlier Windows tills hold their text in the GBK code page. When the file is
// not yet marked and any text value in it is not valid UTF-8, every text value of every table
// that reads as GBK is rewritten as UTF-8, all in one transaction; then the file is marked.
// Values that are already UTF-8 (rows this program wrote) are kept. Returns true when text
// was converted. Throws DbError when the file cannot be read or written; nothing is changed
// then.
bool ConvertLegacyText(Database& db);

}  // namespace store
