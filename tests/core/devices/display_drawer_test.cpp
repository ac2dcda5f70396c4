#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <vector>

#include "core/devices/cash_drawer.h"
#include "core/devices/customer_display.h"
#include "core/devices/port.h"
#include "core/devices/slip_printer.h"
#include "pty.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using namespace std::string_literals;

class DeviceTest : public testing_support::TestDatabase {
 protected:
  void TearDown() override {
    devices::OverridePortPath("com1", {});
    devices::SetUsbPrinterDirectory("/dev/usb");
    TestDatabase::TearDown();
  }
  // Sets each named column of the settings row to its value, bound.
  void Settings(std::initializer_list<std::pair<const char*, std::string>> columns) {
    std::string sql = "update management set ";
    for (const auto& column : columns) {
      sql += std::string(sql.back() == ' ' ? "" : ",") + column.first + " = ?";
    }
    store::Database db = Open();
    store::Statement update = db.Query(sql);
    int at = 0;
    for (const auto& column : columns) update.Bind(++at, column.second);
    update.Run();
  }
};

TEST_F(DeviceTest, DisplayAndDrawerGetTheirBytesOnlyWhenSwitchedOn) {
  PseudoTerminal display;
  ASSERT_FALSE(display.slave_path().empty());
  Settings({{"displaycontrol", "LED8N"}, {"displayport", display.slave_path()}});
  devices::CustomerDisplayHandle handle = devices::OpenCustomerDisplay();
  ASSERT_TRUE(handle.port);
  EXPECT_EQ(handle.warning, "");
  // ESC @, clear, [ESC s lamp,] ESC Q A, the value.
  devices::ShowOnCustomerDisplay(handle, 0, 12.5);
  EXPECT_EQ(display.ReadAll(), "\x1b@\x0c\x1bQA12.50\r");
  devices::ShowOnCustomerDisplay(handle, 2, 3);
  EXPECT_EQ(display.ReadAll(), "\x1b@\x0c\x1bs2\x1bQA3.00\r");
  devices::ShowOnCustomerDisplay(handle, 5, 0.456);
  EXPECT_EQ(display.ReadAll(), "\x1b@\x0c\x1bQA0.46\r");
  Settings({{"displaycontrol", "不显示"}});
  devices::CustomerDisplayHandle off = devices::OpenCustomerDisplay();
  EXPECT_FALSE(off.port);
  devices::ShowOnCustomerDisplay(off, 2, 9.99);
  EXPECT_EQ(display.ReadAll(50), "");
  // A display port that does not exist is no display, not a failure.
  Settings({{"displaycontrol", "LED8N"}, {"displayport", "/dev/no-such-display"}});
  EXPECT_FALSE(devices::OpenCustomerDisplay().port);
  PseudoTerminal drawer;
  devices::OverridePortPath("com1", drawer.slave_path());
  Settings({{"moneyboxcontrol", "弹出"},
            {"printerport", "COM1"},
            {"opencashiercmd", "27,112,0,25,250"}});
  EXPECT_EQ(devices::KickCashDrawer(), "");
  EXPECT_EQ(drawer.ReadAll(), "\x1b\x70\x00\x19\xfa"s);
  Settings({{"moneyboxcontrol", "不弹出"}});
  devices::KickCashDrawer();
  EXPECT_EQ(drawer.ReadAll(50), "");
  Settings({{"moneyboxcontrol", "弹出"}, {"printerport", "lp"}});  // no port of that name
  devices::KickCashDrawer();
  EXPECT_EQ(drawer.ReadAll(50), "");
  fs::path usb = dir() / "usb";
  fs::create_directories(usb);
  PseudoTerminal lp0;
  PseudoTerminal hiddev0;
  fs::create_symlink(lp0.slave_path(), usb / "lp0");
  fs::create_symlink(hiddev0.slave_path(), usb / "hiddev0");
  std::ofstream(usb / "lp1").flush();  // a plain file where a printer node would be
  devices::SetUsbPrinterDirectory(usb);
  Settings({{"moneyboxcontrol", "弹出"},
            {"printerport", "usb001"},
            {"opencashiercmd", "27,112,0,128,128"}});
  EXPECT_EQ(devices::KickCashDrawer(), "");
  EXPECT_EQ(lp0.ReadAll(), "\x1b\x70\x00\x80\x80"s);
  EXPECT_EQ(hiddev0.ReadAll(50), "");
  EXPECT_EQ(testing_support::FileBytes(usb / "lp1"), "");
  using Bytes = std::array<std::uint8_t, 5>;
  EXPECT_EQ(devices::ParseDrawerCommand("27, 112, 0, 128, 128"), (Bytes{27, 112, 0, 128, 128}));
  EXPECT_EQ(devices::ParseDrawerCommand("27,112"), (Bytes{0x1b, 0, 0, 0, 0x70}));
  EXPECT_EQ(devices::ParseDrawerCommand("283,x,-1,  7,1"), (Bytes{27, 0, 255, 7, 1}));
  EXPECT_EQ(devices::ParseDrawerCommand(""), (Bytes{0, 0, 0, 0, 0}));
}

// Settings edited behind the settings screen's back: kasso.db itself named as the ports.
TEST_F(DeviceTest, NoOutputGoesIntoAPlainFileAFullDeviceNeverHoldsTheTillAndPortsGetLineSettings) {
  const std::string db = store::DatabasePath().string();
  Settings({{"moneyboxcontrol", "弹出"},
            {"printerport", db},
            {"displaycontrol", "LED8N"},
            {"displayport", db}});
  const std::string before = testing_support::FileBytes(db);
  devices::SetUpPrinterPort();
  devices::KickCashDrawer();
  EXPECT_FALSE(devices::OpenCustomerDisplay().port);
  EXPECT_FALSE(devices::Port::Open(db, devices::Port::Access::kReadWrite));
  EXPECT_EQ(testing_support::FileBytes(db), before);
  PseudoTerminal printer;
  Settings({{"printerport", printer.slave_path()}});
  devices::SetUpPrinterPort();
  struct termios settings {};
  int fd = open(printer.slave_path().c_str(), O_RDONLY | O_NOCTTY);
  ASSERT_GE(fd, 0);
  tcgetattr(fd, &settings);
  close(fd);
  EXPECT_EQ(cfgetospeed(&settings), B9600);
  EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(settings.c_cflag & PARENB, 0u);
  // A printer, drawer and display that nobody reads: their buffers are full, so every write
  // waits. Each check runs in a child process that an alarm ends if it hangs.
  PseudoTerminal full_printer, drawer, display;
  for (const PseudoTerminal* device : {&full_printer, &drawer, &display}) {
    int out = open(device->slave_path().c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY);
    termios raw{};
    cfmakeraw(&raw);
    tcsetattr(out, TCSANOW, &raw);  // as the till sets it, so the buffer stays full
    // Full is when a rest (in which the terminal moves bytes along) frees no more room.
    for (bool took = true; took; usleep(50 * 1000)) {
      for (took = false; write(out, std::string(4096, 'x').data(), 4096) > 0;) took = true;
    }
    close(out);
  }
  devices::OverridePortPath("com1", full_printer.slave_path());
  Settings({{"moneyboxcontrol", "弹出"},
            {"printerport", drawer.slave_path()},
            {"displaycontrol", "LED8N"},
            {"displayport", display.slave_path()}});
  print::Slip slip;
  slip.Text("牛奶");
  print::PrintTarget target;
  target.output = print::Output::kPort;
  target.port = "com1";
  std::vector<pid_t> children;
  for (const std::function<bool()>& check : std::vector<std::function<bool()>>{
           [&] { return print::SendSlip(target, slip) == "打印端口 com1 写入失败"; },
           [] { return devices::KickCashDrawer().empty(); },
           [] {
             devices::CustomerDisplayHandle handle = devices::OpenCustomerDisplay();
             devices::ShowOnCustomerDisplay(handle, 2, 12.5);
             return !handle.port;  // closed after its failure: the next scan does not wait
           }}) {
    children.push_back(fork());
    if (children.back() == 0) {
      alarm(20);
      _exit(check() ? 0 : 1);
    }
  }
  for (size_t i = 0; i < children.size(); ++i) {
    int status = -1;
    waitpid(children[i], &status, 0);
    EXPECT_EQ(status, 0) << "full_printer, drawer, display: " << i;
  }
}

}  // namespace
