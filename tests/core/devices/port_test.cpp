#include "core/devices/port.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using Paths = std::vector<fs::path>;

TEST(PortDevicePathsTest, MapsEachSettingToTheDeviceFileTheTillOpens) {
  EXPECT_EQ(devices::PortDevicePaths("com1"), Paths{"/dev/ttyS0"});
  EXPECT_EQ(devices::PortDevicePaths("COM4"), Paths{"/dev/ttyS3"});
  EXPECT_EQ(devices::PortDevicePaths("lpt1"), Paths{"/dev/lp0"});
  EXPECT_EQ(devices::PortDevicePaths("/dev/ttyUSB0"), Paths{"/dev/ttyUSB0"});
  EXPECT_EQ(devices::PortDevicePaths("com5"), Paths{});
  fs::path usb = testing_support::MakeTempDir();
  for (const char* name : {"lp1", "lp0", "hiddev0"}) std::ofstream(usb / name) << "";
  devices::SetUsbPrinterDirectory(usb);
  EXPECT_EQ(devices::PortDevicePaths("usb001"), (Paths{usb / "lp0", usb / "lp1"}));
  devices::SetUsbPrinterDirectory("/dev/usb");
  fs::remove_all(usb);
}

}  // namespace
