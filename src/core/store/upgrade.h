#pragma once

#include "core/store/database.h"

namespace store {

// Brings an older kasso.db up to the current schema. The groups run in order, each in its own
// transaction (a savepoint inside the caller's). A table, column or index that is already
// there is skipped, and with it the default values of a group whose first addition is there,
// so a default value is written only in the run that adds its column. A few groups repair
// data and run every time. The last groups add the lookup indexes. Any failure is real
// (disk full, locked, I/O, a damaged file): it throws DbError and the failing group leaves
// nothing behind; a caller that wraps the call in its own Transaction keeps the file as it was.
void UpgradeSchema(Database& db);

// The scale address written by the upgrade when it adds the column.
inline constexpr const char* kDefaultScaleAddress = "192.168.1.87";

// The drawer-kick command written when the column is added and offered on an empty setting.
inline constexpr const char* kDefaultDrawerCommand = "27, 112, 0, 128, 128";

}  // namespace store
