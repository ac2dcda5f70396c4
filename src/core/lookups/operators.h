#pragma once

// Operator look-ups and the rights check, on the caller's open connection.

#include <string>

#include "core/lookups/rights.h"
#include "core/store/database.h"

namespace lookups {

// The operator's name; empty for an unknown work number.
std::string OperatorName(store::Database& db, const std::string& workno);
// True when the operator's duty holds the right; an unknown account, a duty without a rights
// row or a NULL right is false.
bool HasRight(store::Database& db, Right right, const std::string& workno);

}  // namespace lookups
