#pragma once

#include "core/store/database.h"

namespace store {

// Brings an older kasso.db up to the current schema. The groups run in order; inside a group
// the first failing statement (usually: the column or table is already there) silently ends
// that group, so a default value is written only in the run that adds its column. A few
// groups repair data and run every time. The last groups add the lookup indexes.
void UpgradeSchema(Database& db);

// The scale address written by the upgrade when it adds the column.
inline constexpr const char* kDefaultScaleAddress = "192.168.1.87";

// The drawer-kick command written when the column is added and offered on an empty setting.
inline constexpr const char* kDefaultDrawerCommand = "27, 112, 0, 128, 128";

}  // namespace store
