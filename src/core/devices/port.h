#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devices {

// The device files a port setting names: "com1".."com4" are /dev/ttyS0..3, "lpt1" is
// /dev/lp0, "usb..." is every USB printer node (/dev/usb/lp*), and a setting that starts with
// "/" is the path itself (USB-serial adapters such as /dev/ttyUSB0). Case does not matter.
std::vector<std::filesystem::path> PortDevicePaths(const std::string& setting);

// True when a port setting names a port kind the settings offer ("com1".."com4", "lpt1",
// "usb...") or the full path of a character device. Anything else is no port: a plain file
// named as one would be overwritten by the bytes sent to it.
bool IsPortSetting(const std::string& setting);

// Sends a port name to another device file (tests use pseudo-terminals); an empty path
// removes the override.
void OverridePortPath(const std::string& setting, const std::filesystem::path& path);

// Where USB printer nodes are looked for; tests point it at a folder of their own.
void SetUsbPrinterDirectory(const std::filesystem::path& directory);
std::filesystem::path UsbPrinterDirectory();

// An open device file, closed when it leaves scope.
class Port {
 public:
  enum class Access { kWrite, kReadWrite };
  // Opens without waiting for a modem line and without becoming the controlling terminal.
  // Only a character device is kept open: any other file (kasso.db named as a port, say) is
  // refused before a byte is written.
  static std::optional<Port> Open(const std::filesystem::path& path, Access access);
  Port(Port&& other) noexcept;
  Port& operator=(Port&& other) noexcept;
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;
  ~Port();

  // Sets baud rate, 8 data bits, no parity, one stop bit, raw bytes. False when the device
  // is not a serial line or refuses the settings.
  bool ConfigureSerial(int baud);
  // How long one Write waits for a device that takes no more bytes.
  static constexpr int kWriteTimeoutMs = 2000;

  // Writes every byte; false on failure, or when the device has not taken them all within
  // kWriteTimeoutMs (an offline printer, a display nobody reads).
  bool Write(std::string_view bytes);
  // Reads what arrives within the timeout (stops early after a quiet gap once data came).
  std::string Read(int timeout_ms);

 private:
  explicit Port(int fd) : fd_(fd) {}
  void Close();
  int fd_ = -1;
  bool stuck_ = false;  // a write timed out
};

}  // namespace devices
