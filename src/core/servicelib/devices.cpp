#include "core/devices/customer_display.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

bool ExOpenPanel(devices::CustomerDisplayHandle& handle) {
  handle = devices::OpenCustomerDisplay();
  return handle.port.has_value();
}

}  // namespace servicelib
