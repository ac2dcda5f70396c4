#pragma once

#include "core/store/database.h"

namespace lookups {

// Runs a look-up on its own connection; an unreadable file gives the "nothing found" answer.
// For callers that hold no connection (the service library's calls, a screen's field check).
template <typename T, typename Body>
T OpenOr(T fallback, Body&& body) {
  try {
    store::Database db;
    return body(db);
  } catch (const store::DbError&) {
    return fallback;
  }
}

}  // namespace lookups
