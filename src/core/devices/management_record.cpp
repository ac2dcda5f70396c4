#include "core/devices/management_record.h"

#include <charconv>
#include <fstream>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/devices/port.h"
#include "core/store/audit.h"

namespace devices {
namespace {

constexpr int kMostIdleLockMinutes = 999;

}  // namespace

ManagementRecord LoadSettings(store::Database& db) {
  store::Statement row = db.Query(
      "select printercontrol,printerport,displaycontrol,displayport,moneyboxcontrol,printtimes,"
      "welcome,bye,printername,scale,scalesimple,scalebarcode,scalevalue,opencashiercmd,"
      "priceforcost,scaleip,scalekind,usescalefront,usecomscale,comscaleport,emptylines,"
      "wipevalue,basevalue,pointsvalue,ifnull(idlelockminutes,10) from management");
  if (!row.Step()) throw store::DbError("the settings row is missing");
  ManagementRecord r;
  r.printercontrol = row.Text(0);
  r.printerport = row.Text(1);
  r.displaycontrol = row.Text(2);
  r.displayport = row.Text(3);
  r.moneyboxcontrol = row.Text(4);
  r.printtimes = static_cast<int>(row.Int(5));
  r.welcome = row.Text(6);
  r.bye = row.Text(7);
  r.printername = row.Text(8);
  r.scale = row.Text(9);
  r.scalesimple = row.Text(10);
  r.scalebarcode = static_cast<int>(row.Int(11));
  r.scalevalue = static_cast<int>(row.Int(12));
  r.opencashiercmd = row.Text(13);
  r.priceforcost = row.Text(14);
  r.scaleip = row.Text(15);
  r.scalekind = row.Text(16);
  r.usescalefront = row.Text(17);
  r.usecomscale = row.Text(18);
  r.comscaleport = row.Text(19);
  r.emptylines = static_cast<int>(row.Int(20));
  r.wipevalue = row.IsNull(21) ? -1 : static_cast<int>(row.Int(21));
  r.basevalue = static_cast<int>(row.Int(22));
  r.pointsvalue = static_cast<int>(row.Int(23));
  r.idlelockminutes = static_cast<int>(row.Int(24));
  return r;
}

ManagementRecord LoadSettings() {
  store::Database db;
  return LoadSettings(db);
}

void ValidateSettings(const ManagementRecord& r) {
  if (r.displayport == r.printerport) {
    throw kasso::ValidationError("客显端口与打印端口冲突", "displayport");
  }
  if (r.printerport == r.comscaleport) {
    throw kasso::ValidationError("计价秤端口与打印端口冲突", "comscaleport");
  }
  if (r.displayport == r.comscaleport) {
    throw kasso::ValidationError("客显端口与计价秤端口冲突", "comscaleport");
  }
  if (r.usescalefront == "是" && r.comscaleport.empty()) {
    throw kasso::ValidationError("启用计价秤时，必须指定端口", "comscaleport");
  }
  // Bytes for a device must never land in a file: kasso.db named as the drawer's port would
  // be overwritten by the first kick. An empty port is no port at all.
  for (auto [port, field] :
       {std::pair{&r.printerport, "printerport"}, std::pair{&r.displayport, "displayport"},
        std::pair{&r.comscaleport, "comscaleport"}}) {
    if (!port->empty() && !IsPortSetting(*port)) {
      throw kasso::ValidationError("端口必须是设备文件", field);
    }
  }
  if (r.wipevalue < 0 || r.wipevalue > 2) {
    throw kasso::ValidationError("请选择抹零方式", "wipevalue");
  }
  // A base value of 0 is allowed: points then follow what was paid in raw proportion.
  if (r.basevalue < 0) {
    throw kasso::ValidationError("会员积分规则的消费金额必须是不小于0的整数", "basevalue");
  }
  if (r.idlelockminutes < 0 || r.idlelockminutes > kMostIdleLockMinutes) {
    throw kasso::ValidationError("自动锁屏分钟数必须在0到999之间", "idlelockminutes");
  }
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

void SaveSettings(const ManagementRecord& r, const std::string& actor) {
  ValidateSettings(r);
  store::Database db;
  store::Transaction tx(db);
  db.Exec(
      "update management set printercontrol = ?, printerport = ?, printername = ?, "
      "displaycontrol = ?, displayport = ?, moneyboxcontrol = ?, printtimes = ?, welcome = ?, "
      "bye = ?, scale = ?, scalesimple = ?, scalebarcode = ?, scalevalue = ?, "
      "opencashiercmd = ?, priceforcost = ?, scaleip = ?, usescalefront = ?, usecomscale = ?, "
      "comscaleport = ?, emptylines = ?, wipevalue = ?, basevalue = ?, pointsvalue = ?, "
      "idlelockminutes = ?",
      r.printercontrol, r.printerport, r.printername, r.displaycontrol, r.displayport,
      r.moneyboxcontrol, r.printtimes, r.welcome, r.bye, r.scale, r.scalesimple, r.scalebarcode,
      r.scalevalue, r.opencashiercmd, r.priceforcost, r.scaleip, r.usescalefront, r.usecomscale,
      r.comscaleport, r.emptylines, r.wipevalue, r.basevalue, r.pointsvalue, r.idlelockminutes);
  store::WriteAudit(db, {actor, store::kAuditSettingsSaved, {}, 0});
  tx.Commit();
}

void SaveScaleAddressFile(const std::string& address, const std::filesystem::path& directory) {
  std::ofstream file(directory / "dhip.ini", std::ios::binary | std::ios::trunc);
  if (!file) throw kasso::UserError("文件不存在");
  file << address << "\t3\r\n";
  if (!file.flush()) throw kasso::UserError("文件不存在");
}

}  // namespace devices
