#pragma once

// The service library's operator look-ups and the rights check. Functions that take a
// store::Database run on the caller's open connection, so an operation opens kasso.db once; the
// forms without it open and close the file themselves and answer the "nothing found" value (false,
// 0, "") when it cannot be read.

#include <array>
#include <string>
#include <string_view>

#include "core/store/database.h"

namespace servicelib {

// The right columns of dutyrights, the only names CheckRights will put into a statement.
inline constexpr std::array<std::string_view, 12> kRightColumns = {
    "sales",     "operator", "dutyrights", "discount", "settings",     "member",
    "inventory", "inquiry",  "dataclear",  "baseinfo", "openmoneybox", "pointsreturn"};

std::string GetOperatorName(store::Database& db, const std::string& workno);
std::string GetOperatorName(const std::string& workno);
std::string GetOperatorNameFromWorkNo(const std::string& workno);
// True when the operator's duty holds the right. Only the till's right columns are asked;
// any other name, an unknown account, a duty without rights or an unreadable file is false.
bool CheckRights(store::Database& db, const std::string& right, const std::string& workno);
bool CheckRights(const std::string& right, const std::string& workno);

}  // namespace servicelib
