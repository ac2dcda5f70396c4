#pragma once

#include <filesystem>
#include <string>

#include "core/store/database.h"

namespace serversync {

// Whose records head office looks at: this till's alone, every till of its shop, every shop.
enum class HeadOfficeScope { kThisTill, kThisShop, kAllShops };

// Copies the shop server's records of the scope within [start, end] (the journal of bills and
// petty cash, the verified purchase and return bills and stocktakes) into a new kasso.db at
// target, with the goods and member names of the till's own file (local), so that the till's
// own queries and daily report run over it unchanged: the same columns, the same totals.
// Throws kasso::UserError for a till that has not joined, PgError when the server fails;
// target is then not left behind.
void BuildHeadOfficeFile(store::Database& local, HeadOfficeScope scope, const std::string& start,
                         const std::string& end, const std::filesystem::path& target);

}  // namespace serversync
