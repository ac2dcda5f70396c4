#pragma once

#include <array>
#include <string>

#include "core/lookups/rights.h"

namespace app {

// The rights of one duty: one flag per right, at lookups::RightIndex(right).
using DutyRights = std::array<bool, lookups::kRights.size()>;

// The duty's stored rights; a right that is 0 or NULL, or a duty without a rights row, reads
// as not granted. Throws store::DbError.
DutyRights LoadDutyRights(const std::string& duty);

// Stores every right of the duty in one transaction, "discount" included. A manager's
// "dutyrights" right is never written, so the managers can always edit rights; a duty without
// a rights row gets one (a manager's with "dutyrights" granted). Throws store::DbError.
// The audit row naming the actor is written in the same transaction.
void SaveDutyRights(const std::string& duty, const DutyRights& rights,
                    const std::string& actor = {});

}  // namespace app
