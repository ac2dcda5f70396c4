#pragma once

#include <filesystem>
#include <string>

#include "core/store/database.h"

namespace devices {

// The one row of management: every setting of the till. Never cached; each operation reads
// the columns it needs when it runs.
struct ManagementRecord {
  std::string printercontrol;   // "POS58", "驱动打印", "驱动76mm", "不打印"
  std::string printerport;      // "lpt1", "com1", "usb...", or a device path
  std::string displaycontrol;   // "LED8N" or "不显示"
  std::string displayport;      // "com1".."com4"
  std::string moneyboxcontrol;  // "弹出" or "不弹出"
  int printtimes = 1;
  std::string welcome;
  std::string bye;
  std::string printername;
  std::string scale;        // "是"/"否": scale barcodes are recognised
  std::string scalesimple;  // leading flag digits of a scale barcode
  int scalebarcode = 5;     // goods-code digits
  int scalevalue = 5;       // amount digits
  std::string opencashiercmd;
  std::string priceforcost;  // "averageprice" or "recentprice"
  std::string scaleip;
  std::string scalekind;
  std::string usescalefront;  // "是"/"否"
  std::string usecomscale;    // "是"/"否"
  std::string comscaleport;
  int emptylines = 3;
  int wipevalue = 2;  // 2 none, 1 down to jiao, 0 down to yuan
  int basevalue = 1;  // every whole multiple earns pointsvalue; 0: points in raw proportion
  int pointsvalue = 1;
  int idlelockminutes = 10;  // a cashier screen left alone this long locks itself; 0 never
};

// Reads the settings row; throws store::DbError when the file or the row cannot be read.
ManagementRecord LoadSettings(store::Database& db);
ManagementRecord LoadSettings();

// The settings screen's checks, in order: port conflicts, a touch front without a scale
// port, then ports that are neither a kind the settings offer nor a device ("端口必须是设备文件").
// Throws kasso::ValidationError naming the field to focus.
void ValidateSettings(const ManagementRecord& record);

// Reads an integer field as typed on the settings screen; a clear message names the field.
int ParseSettingsInteger(const std::string& text, const std::string& caption,
                         const std::string& field);

// Validates, then writes the settings (all but scalekind and useitemlibrary) in one update,
// with the audit row naming the actor in the same transaction.
// Throws kasso::ValidationError or store::DbError.
void SaveSettings(const ManagementRecord& record, const std::string& actor = {});

// Writes dhip.ini for the scale tool: the address, TAB, "3", CR LF. Throws kasso::UserError
// ("文件不存在") when it cannot be written.
void SaveScaleAddressFile(const std::string& address, const std::filesystem::path& directory);

}  // namespace devices
