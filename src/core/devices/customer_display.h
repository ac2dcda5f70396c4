#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/devices/port.h"

namespace devices {

// The open pole display of a cashier screen; empty when the display is off or its port could
// not be opened (writes then go nowhere).
struct CustomerDisplayHandle {
  std::optional<Port> port;
  // "设置失败." when the port opened but refused its line settings; the screen shows it.
  std::string warning;
};

// Opens the display named by the settings (LED8N on displayport) at 2400 8N1.
CustomerDisplayHandle OpenCustomerDisplay();

// The writes that show an amount with lamp 1..4 lit (other lamps: no lamp command): reset,
// clear, lamp, "amount follows", the amount "%.2f", CR.
std::vector<std::string> CustomerDisplayPieces(int lamp, double amount);

// Sends the amount; a failed write ends the stream silently and closes the display's port
// (writes then go nowhere).
void ShowOnCustomerDisplay(CustomerDisplayHandle& handle, int lamp, double amount);

}  // namespace devices
