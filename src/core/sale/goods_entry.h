#pragma once

// Turning a scanned or typed barcode into a priced line of the sale: scale barcodes, known
// goods, unknown barcodes through the quick goods entry, price-0 goods and weighed goods.

#include <optional>
#include <string>
#include <string_view>

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

inline constexpr std::string_view kCannotSell = "此商品无法销售";

// The settings a scan needs, read from the settings row at every scan.
struct ScanSettings {
  bool scale_barcodes = false;  // `scale` = "是"
  std::string scale_flag;       // `scalesimple`, the flag digits
  int code_digits = 0;          // `scalebarcode`
  int amount_digits = 0;        // `scalevalue`
  bool serial_scale = false;    // `usecomscale` = "是"
};

// Unreadable settings give a till without scale barcodes and without a serial scale; a file
// locked by another program throws store::DbError (a scan must not be misread meanwhile).
ScanSettings ReadScanSettings(store::Database& db);

struct ScaleBarcode {
  std::string goods_code;
  double amount = 0;  // yuan
};

// A scale barcode is the flag, the goods code, the amount in fen and one check digit (not
// verified), of exactly that length. Anything else, or an amount that is not all digits, is an
// ordinary barcode (nullopt).
std::optional<ScaleBarcode> ParseScaleBarcode(const std::string& text,
                                              const ScanSettings& settings);

// A goods row as a new line needs it.
struct LineGoods {
  std::string barcode;
  std::string goodsname;
  std::string unit;
  double salesprice = 0;
  double memberprice = 0;
  bool is_scale_goods = false;
};

// The goods of a barcode, or nullopt. Throws store::DbError.
std::optional<LineGoods> FindLineGoods(store::Database& db, const std::string& barcode);

// The quantity of a new line and the decimals the line list shows it with.
struct Quantity {
  double value = 1;
  int decimals = 2;
};

// Appends a line for the goods with the quantity and selects it, priced for the attached
// member: a member discount rate, or the better of member and sales price.
// Throws store::DbError (the member's rate is read for a "会员折扣" member); the sale is then
// unchanged.
void AppendGoodsLine(store::Database& db, CurrentSale& sale, const LineGoods& goods,
                     const Quantity& quantity);

// Appends the line of a scale barcode (quantity = amount / sales price to three decimals,
// amount as printed) and selects it. Throws store::DbError; the sale is then unchanged.
void AppendScaleLine(store::Database& db, CurrentSale& sale, const LineGoods& goods, double amount);

// The quantity of a new goods line: 1 (shown "1.00"), or for scale goods on the serial scale
// the weight confirmed on it, shown as the scale gave it. nullopt when the weighing was
// cancelled or its weight refused ("重量有误").
std::optional<Quantity> LineQuantity(const ScanSettings& settings, const LineGoods& goods,
                                     SaleUi& ui);

enum class ScanResult {
  kAdded,     // a line was appended
  kNotAdded,  // refused or cancelled; the screen empties the entry field
  kBusy,      // the file is locked by another program: the scan is kept for another try
};

// Tells the cashier why goods could not be read: "数据库忙，请重试" while another program holds
// the file (kBusy), else "此商品无法销售" (kNotAdded).
ScanResult ReportUnreadable(const store::DbError& error, SaleUi& ui);

// Looks the barcode up and appends its line, asking what the scan needs on the way (new
// barcode, price, weight). Goods that cannot be found or read are reported with
// "此商品无法销售", a file locked by another program with "数据库忙，请重试". Never throws.
ScanResult AddGoodsByBarcode(CurrentSale& sale, const std::string& text, SaleUi& ui);
ScanResult AddGoodsByBarcode(store::Database& db, CurrentSale& sale, const std::string& text,
                             SaleUi& ui);

}  // namespace sale
