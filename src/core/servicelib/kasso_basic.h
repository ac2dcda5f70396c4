#pragma once

// The service library as the screens call it: every look-up below (numbers, settings, goods,
// members, operators, bills, till numbers) and, on top, the till, printing, device and window
// services, each a thin call into the rules. Screens may include this header; rules never do
// (they include the look-up headers they need).

#include <cstdint>
#include <string>

#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/members/top_up.h"
#include "core/devices/customer_display.h"
#include "core/lookups/bills.h"
#include "core/lookups/goods.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/lookups/operators.h"
#include "core/lookups/settings.h"
#include "core/lookups/till_numbers.h"
#include "core/store/database.h"

namespace servicelib {

// ---- Till ----

// Cash in the drawer now (sale::MoneyInDrawer); 0 when the file cannot be read.
double GetMoneyInCashier(store::Database& db);
double GetMoneyInCashier();
// Closes the till's open shift (sale::CloseOpenShift). False on failure, with nothing changed.
bool ShiftConfirmation(const std::string& workno);
// Books petty cash for the touch screen: checks the drawer, writes one "备用金" row, kicks the
// drawer and prints the petty-cash slip. Returns the message to show (empty on success).
std::string WritePettyTranAndPrint(double amount, const std::string& workno);

// ---- Goods ----

// Empties the combined-goods editor's work table (backoffice::CombinedGoodsClear).
void CombinedGoodsClear();
// Adds the goods of a workbook whose barcodes are new (backoffice::ImportGoodsSpreadsheet):
// all of them or, naming the first bad row, none. Throws as that does.
backoffice::GoodsImported GoodsDataImportFromExcel(const std::string& path,
                                                   const files::Progress& progress = {});

// ---- Members ----

// Records a top-up (backoffice::DepositConfirmation): raises the member's balance, or for "*"
// that of every stored-value member of the batch, writes the depositbak rows in one
// transaction and prints the top-up slip when asked. Throws as that does.
backoffice::TopUpDone DepositConfirmation(const std::string& memberid, double amount, bool print,
                                          const std::string& operator_name);

// ---- Printing (by the printer mode of the settings; each returns a message to show when the
// slip could not be printed, empty when it was printed or the till prints nothing) ----

std::string ReceiptPrintByTranNo(std::int64_t transactionnumber);
std::string PrintShiftSum(std::int64_t shiftid);
std::string PettyReceiptPrint(double amount, const std::string& operator_name);
std::string OpenMoneyBoxPrint(const std::string& workno);

// ---- Devices (the touch screen reaches the display, drawer and scale through these) ----

// Opens the pole display named by the settings; false when there is none.
bool ExOpenPanel(devices::CustomerDisplayHandle& handle);
void PanelShow(devices::CustomerDisplayHandle& handle, int lamp, double amount);
// Kicks the drawer; returns a message to show, empty when there is none.
std::string OpenMoneyBox();
// The weight text of the serial scale's current answer; empty when there is none.
std::string GetScaleWeight();

// ---- Window services ----

// The scheduled backup: a consistent copy of kasso.db in backup/ beside it.
void HandleBackUp();

}  // namespace servicelib
