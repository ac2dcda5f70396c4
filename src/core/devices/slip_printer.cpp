#include "core/devices/slip_printer.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/devices/escpos.h"
#include "core/devices/port.h"

namespace print {
namespace {

// A typing slip in the settings must not feed metres of paper after every receipt.
constexpr int kMaxFeedLines = 50;

DriverPrinter*& DriverPrinterSlot() {
  static DriverPrinter* printer = nullptr;
  return printer;
}

std::string SendToPort(const std::string& port_name, const Slip& slip) {
  std::string bytes;
  try {
    bytes = EscPosBytes(slip);
  } catch (const std::exception&) {
    return "打印内容无法转换为 GBK";
  }
  auto paths = devices::PortDevicePaths(port_name);
  std::optional<devices::Port> port;
  if (!paths.empty()) port = devices::Port::Open(paths.front(), devices::Port::Access::kWrite);
  if (!port) return "打印端口 " + port_name + " 打不开";
  // A parallel port has no line settings; a serial printer talks 9600 8N1.
  if (kasso::ToLower(port_name).starts_with("com")) port->ConfigureSerial(9600);
  if (!port->Write(bytes)) return "打印端口 " + port_name + " 写入失败";
  return {};
}

}  // namespace

void SetDriverPrinter(DriverPrinter* printer) { DriverPrinterSlot() = printer; }
DriverPrinter* RegisteredDriverPrinter() { return DriverPrinterSlot(); }

PrintTarget ReadPrintTarget(store::Database& db) {
  store::Statement row =
      db.Query("select printercontrol,printerport,printername,emptylines from management");
  if (!row.Step()) throw store::DbError("management has no row");
  PrintTarget target;
  std::string mode = row.Text(0);
  target.port = row.Text(1);
  target.printer_name = row.Text(2);
  target.feed_lines = static_cast<int>(std::clamp<std::int64_t>(row.Int(3), 0, kMaxFeedLines));
  if (mode == kModeReceiptPrinter) {
    // The receipt printer is only driven on the two ports the settings offer.
    std::string port = kasso::ToLower(target.port);
    if (port == "lpt1" || port == "com1") target.output = Output::kPort;
  } else if (mode == kModeDriver58) {
    target.output = Output::kDriver;
  } else if (mode == kModeDriver76) {
    target.output = Output::kDriver;
    target.columns = kColumns76mm;
    target.paper_mm = kPaper76mm;
  }
  return target;
}

std::string SendSlip(const PrintTarget& target, const Slip& slip) {
  switch (target.output) {
    case Output::kNone:
      return {};
    case Output::kPort:
      return SendToPort(target.port, slip);
    case Output::kDriver: {
      DriverPrinter* printer = RegisteredDriverPrinter();
      if (printer == nullptr) return "没有可用的驱动打印机";
      return printer->Print(slip, target.printer_name, target.paper_mm);
    }
  }
  return {};
}

std::string PrintSlip(const std::string& failure_title, const SlipComposer& compose) {
  auto failure = [&](const std::string& reason) { return failure_title + ": " + reason; };
  PrintTarget target;
  Slip slip;
  const char* reason_if_unreadable = "读不到打印设置";
  try {
    store::Database db;
    store::ReadTransaction read(db);
    target = ReadPrintTarget(db);
    if (target.output == Output::kNone) return {};
    reason_if_unreadable = "读取数据有误";
    slip = compose(db, target.columns);
  } catch (const kasso::UserError& error) {
    return failure(error.what());
  } catch (const store::DbError&) {
    return failure(reason_if_unreadable);
  }
  // The file is closed before the printer is waited for.
  slip.columns = target.columns;
  slip.feed_lines = target.feed_lines;
  std::string reason = SendSlip(target, slip);
  return reason.empty() ? std::string() : failure(reason);
}

}  // namespace print
