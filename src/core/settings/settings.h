#pragma once

// The till's settings: the one row of the management table as one typed value. This module is
// the only code that names that table; every operation that needs a setting calls LoadSettings
// when it runs (nothing is cached, so a saved change takes effect at the next operation).

#include <optional>
#include <string>

#include "core/store/database.h"

namespace settings {

// The price goods are costed at: their moving average or their latest purchase price.
enum class CostBasis { kAveragePrice, kRecentPrice };

// How far the amount due is rounded down at settlement.
enum class Wipe { kToYuan, kToJiao, kNone };

struct Settings {
  // Texts the settings screen offers in editable lists; a stored text outside the list is kept.
  std::string printer_mode;    // "POS58", "驱动打印", "驱动76mm", "不打印"
  std::string printer_port;    // "lpt1", "com1", "usb...", or a device path
  std::string printer_name;    // the system printer of driver printing
  std::string display_mode;    // "LED8N" or "不显示"
  std::string display_port;    // "com1".."com4"
  std::string drawer_mode;     // "弹出" or "不弹出"
  std::string drawer_command;  // five decimal bytes separated by commas
  int receipt_copies = 1;
  std::string welcome;  // receipt header
  std::string bye;      // receipt footer
  int feed_lines = 3;   // blank lines after a receipt

  bool scale_barcodes = false;  // scale barcodes are recognised
  std::string scale_flag;       // their leading flag digits
  int scale_code_digits = 5;    // goods-code digits; 0 when not stored
  int scale_amount_digits = 5;  // amount digits; 0 when not stored
  std::string scale_address;    // the network scale's IPv4 address
  std::string scale_kind;       // kept as stored; the settings screen never writes it
  bool touch_front = false;     // the cashier screen is the touch screen
  bool serial_scale = false;    // a price-computing scale answers on serial_scale_port
  std::string serial_scale_port;

  CostBasis cost_basis = CostBasis::kAveragePrice;
  // Empty when the stored value is none of the three: the screen shows no choice, a sale
  // wipes nothing off (WipeOrNone) and a save is refused until one is chosen.
  std::optional<Wipe> wipe = Wipe::kNone;
  int points_base = 1;       // every whole multiple of this many yuan earns ...
  int points_per_base = 1;   // ... this many points; a base of 0: points in raw proportion
  bool item_library = true;  // the goods editor offers the item library
  int idle_lock_minutes = 10;  // a cashier screen left alone this long locks itself; 0 never

  Wipe WipeOrNone() const { return wipe.value_or(Wipe::kNone); }
};

// Reads the settings row; throws store::DbError when the file or the row cannot be read.
Settings LoadSettings(store::Database& db);

// Writes every setting the settings screen edits (all but scale_kind and item_library) in one
// update. The caller checks them first (devices::ValidateSettings); throws store::DbError.
void SaveSettings(store::Database& db, const Settings& settings);

// The goods editor's own switch, written when it is changed there.
void SaveItemLibrary(store::Database& db, bool on);

// Reads an integer field as typed on the settings screen; throws kasso::ValidationError naming
// the field ("票尾空行必须是不小于0的整数") for anything but a whole number of 0 or more.
int ParseSettingsInteger(const std::string& text, const std::string& caption,
                         const std::string& field);

}  // namespace settings
