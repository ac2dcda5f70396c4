#pragma once

// The service library's till numbers: the next bill and suspended-bill numbers and the member
// of a parked sale. Read-only look-ups; the forms without a connection answer 1 or "" when
// kasso.db cannot be read.

#include <cstdint>
#include <string>

#include "core/store/database.h"

namespace servicelib {

// The next bill number: the highest in the journal plus one (1 for an empty journal).
std::int64_t GetTranNo(store::Database& db);
std::int64_t GetTranNo();
// The next free suspended-bill number.
std::int64_t GetMaxHandUpListnumber(store::Database& db);
std::int64_t GetMaxHandUpListnumber();
// The member stored with a parked sale; empty when none.
std::string GetMemberidFromHandUpListLocalFunc(store::Database& db, std::int64_t listnumber);
std::string GetMemberidFromHandUpListLocalFunc(std::int64_t listnumber);

}  // namespace servicelib
