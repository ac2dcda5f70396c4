#include "core/devices/cash_drawer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "core/common/format.h"
#include "core/devices/port.h"
#include "core/settings/settings.h"
#include "core/store/database.h"

namespace devices {
namespace {

std::uint8_t ReadByte(const std::string& part) {
  const char* text = part.c_str();
  while (*text == ' ') ++text;
  long long value = std::strtoll(text, nullptr, 10);
  return static_cast<std::uint8_t>(((value % 256) + 256) % 256);
}

std::string AsBytes(const std::array<std::uint8_t, 5>& command) {
  return std::string(command.begin(), command.end());
}

}  // namespace

std::array<std::uint8_t, 5> ParseDrawerCommand(const std::string& text) {
  std::array<std::uint8_t, 5> bytes{};
  std::string rest = text;
  for (size_t i = 0; i < 4; ++i) {
    size_t comma = rest.find(',');
    if (comma == std::string::npos) {
      bytes[i] = 0;
      continue;
    }
    bytes[i] = ReadByte(rest.substr(0, comma));
    rest = rest.substr(comma + 1);
  }
  bytes[4] = ReadByte(rest);
  return bytes;
}

std::string KickUsbDrawers(const std::string& command) {
  std::error_code error;
  std::filesystem::path folder = UsbPrinterDirectory();
  // No folder means no USB printer is plugged in; a folder we cannot read is a failure.
  if (std::filesystem::exists(folder, error)) {
    std::filesystem::directory_iterator probe(folder, error);
    if (error) return "获取相关的设备信息集GUID句柄失败！";
  }
  std::string bytes = AsBytes(ParseDrawerCommand(command));
  for (const auto& path : PortDevicePaths("usb")) {
    if (auto port = Port::Open(path, Port::Access::kWrite)) port->Write(bytes);
  }
  return {};
}

std::string KickCashDrawer() {
  try {
    store::Database db;
    return KickCashDrawer(db);
  } catch (const store::DbError&) {
    return {};
  }
}

std::string KickCashDrawer(store::Database& db) {
  std::string control;
  std::string port_name;
  std::string command;
  try {
    settings::Settings till = settings::LoadSettings(db);
    control = till.drawer_mode;
    port_name = kasso::ToLower(till.printer_port);
    command = till.drawer_command;
  } catch (const store::DbError&) {
    return {};
  }
  if (control != "弹出") return {};
  if (port_name.starts_with("usb")) return KickUsbDrawers(command);
  bool serial = port_name.starts_with("com") || port_name.starts_with('/');
  if (!serial && !port_name.starts_with("lpt")) return {};
  auto paths = PortDevicePaths(port_name);
  if (paths.empty()) return {};
  auto port = Port::Open(paths.front(), Port::Access::kWrite);
  if (!port) return {};
  if (serial) port->ConfigureSerial(9600);  // a parallel port has no line settings
  port->Write(AsBytes(ParseDrawerCommand(command)));
  return {};
}

void SetUpPrinterPort() {
  std::string port_name;
  try {
    store::Database db;
    port_name = settings::LoadSettings(db).printer_port;
  } catch (const store::DbError&) {
    return;
  }
  std::string lower = kasso::ToLower(port_name);
  if (!lower.starts_with("com") && !lower.starts_with('/')) return;
  auto paths = PortDevicePaths(port_name);
  if (paths.empty()) return;
  if (auto port = Port::Open(paths.front(), Port::Access::kWrite)) port->ConfigureSerial(9600);
}

}  // namespace devices
