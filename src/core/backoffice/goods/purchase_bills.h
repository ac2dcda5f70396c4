#pragma once

// Purchase bills ("进货") and return bills ("返厂"): one open bill of each kind in its work
// table (import, return), one line per barcode, entered by hand or imported, and verified
// ("验收") in one transaction that moves the stock, for purchases also the cost prices, copies
// the lines into the history (importbak, returnbak) and empties the bill.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/files/progress.h"
#include "core/sale/sale_ui.h"

namespace backoffice {

enum class BillKind { kPurchase, kReturn };

// "进货" or "返厂": the bill's caption and its kind for lookups::HasUnverifiedLines.
const char* BillKindName(BillKind kind);

struct BillRow {
  std::string barcode;
  std::string goodsname;  // empty when the goods no longer exists
  std::string unit;
  double quantity = 0;
  double price = 0;
  double amount = 0;  // a purchase line's amount as entered; a return line's quantity × price
};

// The open bill, in the order its lines were entered. Throws store::DbError.
std::vector<BillRow> LoadPurchaseBill();
std::vector<BillRow> LoadReturnBill();
std::vector<BillRow> LoadBill(BillKind kind);

// What the user typed since the line was shown. Of price and amount, the one typed last
// decides the other; a changed quantity alone keeps the price (the amount follows it); with
// nothing typed a given amount decides, so a line saved unchanged stays as it was.
enum class LineChange { kNone, kQuantity, kPrice, kAmount };

// The line entry's fields as typed.
struct BillLineFields {
  std::string barcode;
  std::string quantity;
  std::string price;
  std::string amount;
  LineChange changed = LineChange::kNone;
};

// What the entry shows for a goods: its name and its line on the open bill, numbers "%.2f"
// ("0.00" when the goods is not on the bill yet; a return line's amount is quantity × price).
struct BillLine {
  std::string goodsname;
  std::string quantity;
  std::string price;
  std::string amount;
};

// The line of the barcode; nullopt when the barcode is no goods. Throws store::DbError.
std::optional<BillLine> LoadPurchaseLine(const std::string& barcode);
std::optional<BillLine> LoadReturnLine(const std::string& barcode);
std::optional<BillLine> LoadBillLine(BillKind kind, const std::string& barcode);

// Asks for the name and price of a barcode the till does not know and stores it as a goods
// (the quick goods entry of the till). True when the goods was stored. Throws store::DbError.
bool EnterBillGoods(const std::string& barcode, sale::SaleUi& ui);

// Where the entry's focus goes after Enter, with the fields as they then read.
enum class LineField { kQuantity, kPrice, kAmount, kConfirm };
struct LineStep {
  LineField focus = LineField::kConfirm;
  BillLineFields fields;
};

// What decides after the user typed in field (kQuantity, kPrice or kAmount): a typed price or
// amount decides from then on; a typed quantity counts only while neither was typed.
LineChange AfterTyping(LineChange before, LineField field);

// Enter on the price: empty or 0 goes on to the amount, no quantity back to the quantity; else the
// amount becomes quantity × price and the price decides. Throws kasso::ValidationError naming
// "price" ("单价有误", "单价不能小于0") or "quantity" ("数量录入有误").
LineStep EnterLinePrice(const BillLineFields& fields);
// Enter on the amount: an empty amount, or one the user left while the price or quantity
// changed, becomes quantity × price; else the amount sets the price to amount ÷ quantity.
// Throws kasso::ValidationError naming "amount" ("请录入金额", "金额有误", "金额不能小于0"),
// "price" ("价格录入有误", "单价不能小于0") or "quantity" ("请录入数量", "数量有误",
// "数量录入有误", "数量为0时不能由金额计算单价").
LineStep EnterLineAmount(const BillLineFields& fields);

// The line as stored: quantity, price and amount to the fen.
struct SavedBillLine {
  double quantity = 0;
  double price = 0;
  double amount = 0;
};

// Checks the fields and stores the line, replacing the barcode's line when it is on the bill
// already. Price and amount: the one that decides (see LineChange) sets the other, amount ÷
// quantity or price × quantity (a return stores only the price); negative prices and amounts
// are refused. Throws kasso::ValidationError naming "barcode", "quantity", "price" or "amount"
// with nothing written, and store::DbError.
SavedBillLine SavePurchaseLine(const BillLineFields& fields);
SavedBillLine SaveReturnLine(const BillLineFields& fields);
SavedBillLine SaveBillLine(BillKind kind, const BillLineFields& fields);

// The question before a verification: "共 3 行, 合计 70.00, 是否验收?" with the open bill's
// line count and the sum of its amounts. Throws store::DbError.
std::string VerifyBillQuestion(BillKind kind);

// Removes the barcode's line from the open bill. Throws store::DbError.
void DeleteBillLine(BillKind kind, const std::string& barcode);

// Applies the open bill in one transaction. A purchase raises the stock of each goods and sets
// its import price and its moving average cost: the old average over the stock it had before
// this bill plus the line's amount, over both quantities (the purchase price when that stock
// was 0 or less; the average stays when the line empties the stock); the history keeps the
// amount; a return lowers the stock, which may go below
// 0, and changes no price. A combined goods moves its components by quantity (to the fen) ×
// component quantity and changes no price. Every line goes to the history with one
// confirmation time and the bill is emptied. Throws kasso::UserError when a line's goods no
// longer exists, store::DbError when the database refuses; either way nothing is changed and
// the bill stays open.
void VerifyPurchaseBill();
void VerifyReturnBill();
void VerifyBill(BillKind kind);

inline constexpr const char* kPurchaseSheet = "进货单";

struct BillImported {
  std::size_t added = 0;    // new lines
  std::size_t merged = 0;   // lines added to a barcode already on the bill
  std::size_t skipped = 0;  // lines whose barcode is no goods
};

// Text lines "barcode,quantity,amount" (more fields are ignored). Lines whose barcode is no
// goods are skipped; a barcode on the bill already has quantity and amount added and its price
// taken again from them; a new line takes amount ÷ quantity as its price. A quantity of 0 with
// an amount, or a negative quantity or amount, refuses the line. All lines or none: throws
// kasso::UserError "第 N 行: ..." for the first bad line (or the file's own error) with the
// bill unchanged; store::DbError; files::Cancelled.
BillImported ImportPurchaseText(const std::filesystem::path& file,
                                const files::Progress& progress = {});
// The sheet "进货单" (or a workbook's only sheet) with the columns "条码", "数量" and "金额";
// the same rules and errors.
BillImported ImportPurchaseExcel(const std::filesystem::path& file,
                                 const files::Progress& progress = {});

}  // namespace backoffice
