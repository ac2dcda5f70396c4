#pragma once

#include "core/store/database.h"

namespace servicelib {

// Runs a look-up on its own connection; an unreadable file gives the "nothing found" answer.
template <typename T, typename Body>
T OpenOr(T fallback, Body&& body) {
  try {
    store::Database db;
    return body(db);
  } catch (const store::DbError&) {
    return fallback;
  }
}

}  // namespace servicelib
