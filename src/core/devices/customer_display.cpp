#include "core/devices/customer_display.h"

#include "core/common/format.h"
#include "core/settings/settings.h"
#include "core/store/database.h"

namespace devices {

CustomerDisplayHandle OpenCustomerDisplay() {
  CustomerDisplayHandle handle;
  std::string control;
  std::string port_name;
  try {
    store::Database db;
    settings::Settings till = settings::LoadSettings(db);
    control = till.display_mode;
    port_name = till.display_port;
  } catch (const store::DbError&) {
    return handle;
  }
  if (control != "LED8N") return handle;
  auto paths = PortDevicePaths(port_name);
  if (paths.empty()) return handle;
  handle.port = Port::Open(paths.front(), Port::Access::kWrite);
  if (handle.port && !handle.port->ConfigureSerial(2400)) handle.warning = "设置失败.";
  return handle;
}

std::vector<std::string> CustomerDisplayPieces(int lamp, double amount) {
  std::vector<std::string> pieces = {"\x1b\x40", "\x0c"};
  if (lamp >= 1 && lamp <= 4)
    pieces.push_back(std::string("\x1b\x73") + static_cast<char>('0' + lamp));
  pieces.push_back("\x1b\x51\x41");
  pieces.push_back(kasso::Money(amount));
  pieces.push_back("\x0d");
  return pieces;
}

void ShowOnCustomerDisplay(CustomerDisplayHandle& handle, int lamp, double amount) {
  if (!handle.port) return;
  // Each piece is its own write, as the display expects; the first failure ends the stream
  // and closes the port, so a display that stopped taking bytes costs the till one wait, not
  // one at every scan.
  for (const std::string& piece : CustomerDisplayPieces(lamp, amount)) {
    if (!handle.port->Write(piece)) {
      handle.port.reset();
      return;
    }
  }
}

}  // namespace devices
