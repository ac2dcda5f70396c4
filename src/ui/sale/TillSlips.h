#pragma once

#include <string>

class QWidget;

namespace ui {

// The till duties with a slip, as both cashier screens run them.

// F12 / "班次结账": asks "是否班结?"; on yes closes the shift and shows its figures, the cash
// the drawer should hold among them, in a window that can also print them.
void CloseShiftShowingSlip(QWidget* parent, const std::string& workno);

// F2 / "班结小票": the chosen shift's slip, printed, or shown when the till prints nothing.
void ShiftSlipOfChosenShift(QWidget* parent);

// F5 / "补票打印": one copy of the chosen sale's receipt, printed, or shown when the till
// prints nothing.
void ReprintChosenReceipt(QWidget* parent);

}  // namespace ui
