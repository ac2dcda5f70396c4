#pragma once

#include "core/serversync/pg.h"

namespace serversync {

// The schema version this program writes and reads.
inline constexpr int kServerSchemaVersion = 2;

// Creates or upgrades the shop server's tables. Each step runs in its own transaction with the
// version it brings, under a lock, so two runs at once or a run cut short leave a whole
// version behind. Returns the version the server is at afterwards.
int InitServerSchema(PgConnection& conn);

// The server's schema version; 0 for a database that was never set up.
int ServerSchemaVersion(PgConnection& conn);

}  // namespace serversync
