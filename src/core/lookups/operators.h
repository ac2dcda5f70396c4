#pragma once

// Operator look-ups and the rights check, on the caller's open connection.

#include <array>
#include <string>
#include <string_view>

#include "core/store/database.h"

namespace lookups {

// The right columns of dutyrights, the only names HasRight will put into a statement.
inline constexpr std::array<std::string_view, 12> kRightColumns = {
    "sales",     "operator", "dutyrights", "discount", "settings",     "member",
    "inventory", "inquiry",  "dataclear",  "baseinfo", "openmoneybox", "pointsreturn"};

// The operator's name; empty for an unknown work number.
std::string OperatorName(store::Database& db, const std::string& workno);
// True when the operator's duty holds the right. Only the till's right columns are asked;
// any other name, an unknown account or a duty without rights is false.
bool HasRight(store::Database& db, const std::string& right, const std::string& workno);

}  // namespace lookups
