#include "core/settings/settings.h"

#include <charconv>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/store/yes_no.h"

namespace settings {
namespace {

// The stored cost basis: "averageprice" or, for any other text, the recent price.
constexpr const char* kAveragePriceText = "averageprice";
constexpr const char* kRecentPriceText = "recentprice";

// wipevalue holds 0 (to the yuan), 1 (to the jiao) or 2 (none); NULL is no choice.
std::optional<Wipe> WipeFromStored(store::Statement& row, int column) {
  if (row.IsNull(column)) return std::nullopt;
  switch (row.Int(column)) {
    case 0:
      return Wipe::kToYuan;
    case 1:
      return Wipe::kToJiao;
    case 2:
      return Wipe::kNone;
    default:
      return std::nullopt;
  }
}

// A missing wipe choice is stored as -1, which no sale and no screen reads as a choice.
int WipeToStored(std::optional<Wipe> wipe) {
  if (!wipe) return -1;
  switch (*wipe) {
    case Wipe::kToYuan:
      return 0;
    case Wipe::kToJiao:
      return 1;
    case Wipe::kNone:
      return 2;
  }
  return -1;
}

int IntOr(store::Statement& row, int column, int fallback) {
  return row.IsNull(column) ? fallback : static_cast<int>(row.Int(column));
}

}  // namespace

Settings LoadSettings(store::Database& db) {
  store::Statement row = db.Query(
      "select printercontrol,printerport,printername,displaycontrol,displayport,moneyboxcontrol,"
      "opencashiercmd,printtimes,welcome,bye,emptylines,scale,scalesimple,scalebarcode,"
      "scalevalue,scaleip,scalekind,usescalefront,usecomscale,comscaleport,priceforcost,"
      "wipevalue,basevalue,pointsvalue,useitemlibrary,ifnull(idlelockminutes,10) from management");
  if (!row.Step()) throw store::DbError("the settings row is missing");
  Settings s;
  s.printer_mode = row.Text(0);
  s.printer_port = row.Text(1);
  s.printer_name = row.Text(2);
  s.display_mode = row.Text(3);
  s.display_port = row.Text(4);
  s.drawer_mode = row.Text(5);
  s.drawer_command = row.Text(6);
  s.receipt_copies = IntOr(row, 7, 0);
  s.welcome = row.Text(8);
  s.bye = row.Text(9);
  s.feed_lines = IntOr(row, 10, 0);
  s.scale_barcodes = store::YesNo(row.Text(11));
  s.scale_flag = row.Text(12);
  s.scale_code_digits = IntOr(row, 13, 0);
  s.scale_amount_digits = IntOr(row, 14, 0);
  s.scale_address = row.Text(15);
  s.scale_kind = row.Text(16);
  s.touch_front = store::YesNo(row.Text(17));
  s.serial_scale = store::YesNo(row.Text(18));
  s.serial_scale_port = row.Text(19);
  s.cost_basis =
      row.Text(20) == kAveragePriceText ? CostBasis::kAveragePrice : CostBasis::kRecentPrice;
  s.wipe = WipeFromStored(row, 21);
  s.points_base = IntOr(row, 22, 1);
  s.points_per_base = IntOr(row, 23, 1);
  s.item_library = store::YesNo(row.Text(24));
  s.idle_lock_minutes = IntOr(row, 25, 10);
  return s;
}

void SaveSettings(store::Database& db, const Settings& s) {
  db.Exec(
      "update management set printercontrol = ?, printerport = ?, printername = ?, "
      "displaycontrol = ?, displayport = ?, moneyboxcontrol = ?, printtimes = ?, welcome = ?, "
      "bye = ?, scale = ?, scalesimple = ?, scalebarcode = ?, scalevalue = ?, "
      "opencashiercmd = ?, priceforcost = ?, scaleip = ?, usescalefront = ?, usecomscale = ?, "
      "comscaleport = ?, emptylines = ?, wipevalue = ?, basevalue = ?, pointsvalue = ?, "
      "idlelockminutes = ?",
      s.printer_mode, s.printer_port, s.printer_name, s.display_mode, s.display_port, s.drawer_mode,
      s.receipt_copies, s.welcome, s.bye, store::ToYesNo(s.scale_barcodes), s.scale_flag,
      s.scale_code_digits, s.scale_amount_digits, s.drawer_command,
      s.cost_basis == CostBasis::kAveragePrice ? kAveragePriceText : kRecentPriceText,
      s.scale_address, store::ToYesNo(s.touch_front), store::ToYesNo(s.serial_scale),
      s.serial_scale_port, s.feed_lines, WipeToStored(s.wipe), s.points_base, s.points_per_base,
      s.idle_lock_minutes);
}

void SaveItemLibrary(store::Database& db, bool on) {
  db.Exec("update management set useitemlibrary = ?", store::ToYesNo(on));
}

int ParseSettingsInteger(const std::string& text, const std::string& caption,
                         const std::string& field) {
  std::string trimmed = kasso::Trim(text);
  int value = 0;
  auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
  if (trimmed.empty() || error != std::errc() || end != trimmed.data() + trimmed.size() ||
      value < 0) {
    throw kasso::ValidationError(caption + "必须是不小于0的整数", field);
  }
  return value;
}

}  // namespace settings
