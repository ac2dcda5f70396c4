#include "core/devices/cash_drawer.h"
#include "core/devices/scale.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

bool ExOpenPanel(devices::CustomerDisplayHandle& handle) {
  handle = devices::OpenCustomerDisplay();
  return handle.port.has_value();
}

void PanelShow(devices::CustomerDisplayHandle& handle, int lamp, double amount) {
  devices::ShowOnCustomerDisplay(handle, lamp, amount);
}

std::string OpenMoneyBox() { return devices::KickCashDrawer(); }

std::string GetScaleWeight() { return devices::ReadScaleWeight(); }

}  // namespace servicelib
