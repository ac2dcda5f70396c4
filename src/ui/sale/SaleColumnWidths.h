#pragma once

class QTableView;

namespace sale {
struct CurrentSale;
}

namespace ui {

class SaleLinesModel;

// Sizes the columns of a sale's line list to the width of the list. The goods name is what the
// cashier reads, so it gets the room its longest name needs; the other columns keep the room
// their contents take (a 13-digit barcode, the amounts shown) and give up the rest first, the
// narrowest columns first: a heading wider than its figures ("前台折扣" over "1.00") is then
// shown halved on two lines. Only when the name still lacks room is it cut. The first in_view
// columns are kept in view (the keyboard screen: all of them; the touch screen: the name and
// what the customer asks about); room left over widens them in the proportions of their
// designed widths. Call it whenever the list's width or its lines change.
void FitSaleColumns(QTableView& table, SaleLinesModel& model, int in_view);

// Shows the sale's lines as they now stand: reloads them, fits the columns (in_view as for
// FitSaleColumns) and selects the sale's selected line, scrolled into view.
void ShowSaleLines(QTableView& table, SaleLinesModel& model, const sale::CurrentSale& sale,
                   int in_view);

}  // namespace ui
