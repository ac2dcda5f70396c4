#pragma once

class QTableView;

namespace ui {

// Sizes the thirteen columns of a sale's line list to the width of the list, so that every
// column shows without a horizontal scroll bar on a 1024 x 768 screen. Each column gets at
// least the room its heading and its widest usual content need (a 13-digit barcode, an
// amount of six digits); the name then grows to its designed width, and what is left is
// shared in the proportions of the designed widths.
void FitSaleColumns(QTableView& table);

}  // namespace ui
