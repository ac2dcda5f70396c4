#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/store/database.h"

namespace devices {

// The five bytes of a drawer command written as decimal values separated by commas
// ("27, 112, 0, 128, 128"). Each value is kept modulo 256; text that is not a number reads
// as 0; with fewer than four commas, the missing bytes are 0 and the remaining text is the
// fifth byte ("27,112" gives 1B 00 00 00 70).
std::array<std::uint8_t, 5> ParseDrawerCommand(const std::string& text);

// Opens the drawer when the settings say "弹出": the command goes to the printer port
// (com/lpt, or a device path) or to every USB printer. Device failures never stop a sale;
// the result is a message to show, empty when there is none.
std::string KickCashDrawer();
// The same, reading the settings on the caller's open connection.
std::string KickCashDrawer(store::Database& db);

// Sends the command to every USB printer node. Returns "获取相关的设备信息集GUID句柄失败！"
// when the device list cannot be read, else empty.
std::string KickUsbDrawers(const std::string& command);

// At start-up: a serial receipt printer port gets 9600 8N1.
void SetUpPrinterPort();

}  // namespace devices
