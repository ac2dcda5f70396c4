#pragma once

// The drawer's shift: the cash the drawer holds and the closing of the shift (see shift.cpp
// for what each shiftsum column counts).

#include <string>

#include "core/store/database.h"

namespace sale {

// Cash in the drawer now: the cash taken (paid less change) on every bill of the open shift
// plus the petty cash put in or taken out since. The shift's closing row counts the same
// journal rows, so the two figures always agree. Throws store::DbError.
double MoneyInDrawer(store::Database& db);

// Closes the till's open shift: numbers every journal row still in shift 0 with the next
// shift number and writes that shift's shiftsum row, all in one transaction. Throws
// store::DbError with nothing changed.
void CloseOpenShift(const std::string& workno);

}  // namespace sale
