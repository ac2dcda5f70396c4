#include "core/devices/settings_checks.h"

#include <fstream>

#include "core/common/error.h"
#include "core/devices/port.h"
#include "core/store/audit.h"

namespace devices {
namespace {

constexpr int kMostIdleLockMinutes = 999;

}  // namespace

void ValidateSettings(const settings::Settings& s) {
  if (s.display_port == s.printer_port) {
    throw kasso::ValidationError("客显端口与打印端口冲突", "displayport");
  }
  if (s.printer_port == s.serial_scale_port) {
    throw kasso::ValidationError("计价秤端口与打印端口冲突", "comscaleport");
  }
  if (s.display_port == s.serial_scale_port) {
    throw kasso::ValidationError("客显端口与计价秤端口冲突", "comscaleport");
  }
  if (s.touch_front && s.serial_scale_port.empty()) {
    throw kasso::ValidationError("启用计价秤时，必须指定端口", "comscaleport");
  }
  // Bytes for a device must never land in a file: kasso.db named as the drawer's port would
  // be overwritten by the first kick. An empty port is no port at all.
  for (auto [port, field] :
       {std::pair{&s.printer_port, "printerport"}, std::pair{&s.display_port, "displayport"},
        std::pair{&s.serial_scale_port, "comscaleport"}}) {
    if (!port->empty() && !IsPortSetting(*port)) {
      throw kasso::ValidationError("端口必须是设备文件", field);
    }
  }
  if (!s.wipe) throw kasso::ValidationError("请选择抹零方式", "wipevalue");
  // A base value of 0 is allowed: points then follow what was paid in raw proportion.
  if (s.points_base < 0) {
    throw kasso::ValidationError("会员积分规则的消费金额必须是不小于0的整数", "basevalue");
  }
  if (s.idle_lock_minutes < 0 || s.idle_lock_minutes > kMostIdleLockMinutes) {
    throw kasso::ValidationError("自动锁屏分钟数必须在0到999之间", "idlelockminutes");
  }
}

void SaveCheckedSettings(const settings::Settings& s, const std::string& actor) {
  ValidateSettings(s);
  store::Database db;
  store::Transaction tx(db);
  settings::SaveSettings(db, s);
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
