#pragma once

// The drawer's shift: the cash the drawer holds and the closing of the shift (see shift.cpp
// for what each shiftsum column counts).

#include <cstdint>
#include <optional>
#include <string>

#include "core/store/database.h"

namespace sale {

// The figures of one closed shift, as its shiftsum row holds them.
struct ShiftFigures {
  std::int64_t shiftid = 0;
  std::string shiftdate;
  std::string workno;
  std::int64_t billcount = 0;
  double salesquantity = 0;
  double salesvalue = 0;
  double discountvalue = 0;
  double wipevalue = 0;
  double valuediscount = 0;
  double cardpaid = 0;  // stored value
  double cashpaid = 0;  // cash kept: tendered less change
  double checkpaid = 0;
  double unionpaid = 0;
  double pettyvalue = 0;

  // The cash the drawer should hold at the close: the cash kept plus the petty cash. It is
  // what MoneyInDrawer() counted right before the close.
  double DrawerCash() const;
};

// Cash in the drawer now: the cash taken (paid less change) on every bill of the open shift
// plus the petty cash put in or taken out since. The shift's closing row counts the same
// journal rows, so the two figures always agree. Throws store::DbError.
double MoneyInDrawer(store::Database& db);

// Closes the till's open shift: numbers every journal row still in shift 0 with the next
// shift number and writes that shift's shiftsum row, all in one transaction. Returns the
// new shift number. Throws store::DbError with nothing changed.
std::int64_t CloseOpenShift(const std::string& workno);

// The shiftsum row of a shift; nullopt when there is none. Throws store::DbError.
std::optional<ShiftFigures> ReadShiftFigures(store::Database& db, std::int64_t shiftid);

}  // namespace sale
