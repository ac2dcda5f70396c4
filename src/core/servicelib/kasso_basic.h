#pragma once

// The service library: look-ups, settings getters and checks that the screens and the sale
// engine share. Functions that take a store::Database run on the caller's open connection, so
// an operation opens kasso.db once; the forms without it open and close the file themselves
// and answer the "nothing found" value (false, 0, "") when the file cannot be read.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "devices/customer_display.h"
#include "store/database.h"

namespace servicelib {

// ---- Numbers ----

// x rounded to n decimals, halves away from zero. Robust to binary representation: 2.675,
// stored as 2.67499999..., still gives 2.68.
double rounddigits(double x, int n);
// Nearest integer, halves away from zero.
double round(double x);
double GetMinDouble(double a, double b, double c);
// A plain decimal number as a cashier types it: an optional sign, digits with at most one
// decimal point, at least one digit ("12", "-3.5", ".5", "7."). No blanks, no exponent.
bool NumericalCheck(const std::string& text);
// A NumericalCheck number with at most three decimals (money to the fen, weights to the gram).
bool DecimalCheck(const std::string& text);

// ---- Settings (the management row, read anew at every call) ----

std::string GetComScaleSign(store::Database& db);
std::string GetComScaleSign();
std::string GetScaleFrontSign(store::Database& db);
std::string GetScaleFrontSign();
int GetWipeSettings(store::Database& db);
int GetWipeSettings();
int GetBaseValue(store::Database& db);
int GetBaseValue();
int GetPointsValue(store::Database& db);
int GetPointsValue();
std::string GetPriceForCost(store::Database& db);
std::string GetPriceForCost();
// Name of the spreadsheet driver the imports use; empty while none is available.
std::string GetExcelDriver();

// ---- Goods ----

struct GoodsInfo {
  std::string goodsname;
  std::string unit;
  double salesprice = 0;
  double memberprice = 0;
};

bool IfBarcodeExist(store::Database& db, const std::string& barcode);
bool IfBarcodeExist(const std::string& barcode);
bool IfScaleGoods(store::Database& db, const std::string& barcode);
bool IfScaleGoods(const std::string& barcode);
bool IfCombinedGoods(store::Database& db, const std::string& barcode);
bool IfCombinedGoods(const std::string& barcode);
bool IsGoodsGivePoints(store::Database& db, const std::string& barcode);
bool IsGoodsGivePoints(const std::string& barcode);
double GetSalesPrice(store::Database& db, const std::string& barcode);
double GetSalesPrice(const std::string& barcode);
// The member price of a goods item; 0 when it has none.
double GetMemberPrice(store::Database& db, const std::string& barcode);
double GetMemberPrice(const std::string& barcode);
std::optional<GoodsInfo> GetGoodsInfoFromBarcode(store::Database& db, const std::string& barcode);
std::optional<GoodsInfo> GetGoodsInfoFromBarcode(const std::string& barcode);
std::string GetGoodsnameFromBarcode(store::Database& db, const std::string& barcode);
std::string GetGoodsnameFromBarcode(const std::string& barcode);
// The barcode of the first goods entered under that name; empty when none.
std::string GetBarcodeFromGoodsName(store::Database& db, const std::string& name);
std::string GetBarcodeFromGoodsName(const std::string& name);

// GetSalesPrice, IfCombinedGoods and IsGoodsGivePoints of one goods item in one look-up, for a
// sale's commit, which asks all three for every line. Holds its statement prepared on the
// caller's connection, so it lives no longer than the operation.
struct GoodsSaleFacts {
  double salesprice = 0;
  bool combined = false;
  bool gives_points = false;
};
class GoodsSaleFactsReader {
 public:
  explicit GoodsSaleFactsReader(store::Database& db);
  GoodsSaleFacts Read(const std::string& barcode);

 private:
  store::Statement statement_;
};

// ---- Members ----

bool IsMemberExists(store::Database& db, const std::string& memberid);
bool IsMemberExists(const std::string& memberid);
bool IfDepositMember(store::Database& db, const std::string& memberid);
bool IfDepositMember(const std::string& memberid);
bool IsDisOnDisMember(store::Database& db, const std::string& memberid);
bool IsDisOnDisMember(const std::string& memberid);
// The member's discount factor (0.85 = pays 85 %); 1 when the member has none.
double GetMemberDisrate(store::Database& db, const std::string& memberid);
double GetMemberDisrate(const std::string& memberid);
double GetMemberDepositValue(store::Database& db, const std::string& memberid);
double GetMemberDepositValue(const std::string& memberid);
double GetMemberPointsValue(store::Database& db, const std::string& memberid);
double GetMemberPointsValue(const std::string& memberid);
// "没有优惠", "会员折扣" or "会员价"; "没有优惠" for an unknown member.
std::string GetMemberDismode(store::Database& db, const std::string& memberid);
std::string GetMemberDismode(const std::string& memberid);
std::string GetMemberName(store::Database& db, const std::string& memberid);
std::string GetMemberName(const std::string& memberid);
// The customer pane's text for a member ("[会员名称:...]..."); "普通客户" when not found.
std::string GetMemberInfo(store::Database& db, const std::string& memberid);
std::string GetMemberInfo(const std::string& memberid);
// The member whose phone or identity-card number is the text; empty when none.
std::string GetMemberIdFromPhonePID(store::Database& db, const std::string& phone_or_pid);
std::string GetMemberIdFromPhonePID(const std::string& phone_or_pid);

// ---- Operators ----

// The right columns of dutyrights, the only names CheckRights will put into a statement.
inline constexpr std::array<std::string_view, 12> kRightColumns = {
    "sales",     "operator", "dutyrights", "discount", "settings",     "member",
    "inventory", "inquiry",  "dataclear",  "baseinfo", "openmoneybox", "pointsreturn"};

std::string GetOperatorName(store::Database& db, const std::string& workno);
std::string GetOperatorName(const std::string& workno);
std::string GetOperatorNameFromWorkNo(const std::string& workno);
// True when the operator's duty holds the right. Only the till's right columns are asked;
// any other name, an unknown account, a duty without rights or an unreadable file is false.
bool CheckRights(store::Database& db, const std::string& right, const std::string& workno);
bool CheckRights(const std::string& right, const std::string& workno);

// ---- Bills ----

// True when no purchase (return) bill waits for verification.
bool ImportListCheck();
bool ReturnListCheck();
// True when the open bill of that kind ("进货", "返厂", "盘点") has lines.
bool IfUnConfirmedData(const std::string& kind);
// Empties the combined-goods editor's work table.
void CombinedGoodsClear();

// ---- Till ----

// The next bill number: the highest in the journal plus one (1 for an empty journal).
std::int64_t GetTranNo(store::Database& db);
std::int64_t GetTranNo();
// The next free suspended-bill number.
std::int64_t GetMaxHandUpListnumber(store::Database& db);
std::int64_t GetMaxHandUpListnumber();
// The member stored with a parked sale; empty when none.
std::string GetMemberidFromHandUpListLocalFunc(store::Database& db, std::int64_t listnumber);
std::string GetMemberidFromHandUpListLocalFunc(std::int64_t listnumber);

// Cash in the drawer now: the cash taken (paid less change) on every bill of the open shift
// plus the petty cash put in or taken out since; 0 when the file cannot be read. The shift's
// closing row counts the same journal rows, so the two figures always agree.
double GetMoneyInCashier(store::Database& db);
double GetMoneyInCashier();
// Closes the till's open shift: numbers every journal row still in shift 0 with the next shift
// number and writes that shift's shiftsum row, all in one transaction. False on failure, with
// nothing changed.
bool ShiftConfirmation(const std::string& workno);
// Books petty cash for the touch screen: checks the drawer, writes one "备用金" row, kicks the
// drawer and prints the petty-cash slip. Returns the message to show (empty on success).
std::string WritePettyTranAndPrint(double amount, const std::string& workno);

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
