#pragma once

// The till's numbers: the next bill and parked-sale numbers and the member of a parked sale.

#include <cstdint>
#include <string>

#include "core/store/database.h"

namespace lookups {

// The next bill number: the highest in the journal plus one (1 for an empty journal).
std::int64_t NextBillNumber(store::Database& db);
// The next free parked-sale number: the highest in use plus one.
std::int64_t NextParkedNumber(store::Database& db);
// The member stored with a parked sale; empty when none.
std::string ParkedSaleMember(store::Database& db, std::int64_t listnumber);

}  // namespace lookups
