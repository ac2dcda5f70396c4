#include "core/devices/slip_printer.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/devices/escpos.h"
#include "core/devices/port.h"
#include "core/settings/settings.h"

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
  settings::Settings till = settings::LoadSettings(db);
  PrintTarget target;
  const std::string& mode = till.printer_mode;
  target.port = till.printer_port;
  target.printer_name = till.printer_name;
  target.feed_lines = std::clamp(till.feed_lines, 0, kMaxFeedLines);
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

namespace {

// The printer settings and, unless the mode prints nothing and the slip is only wanted for
// the printer, the slip composed for their paper, all read on one connection that is closed
// again before any printer is waited for.
struct PreparedSlip {
  PrintTarget target;
  std::optional<Slip> slip;
  std::string failure;  // why nothing could be composed
};

PreparedSlip PrepareSlip(const std::string& failure_title, const SlipComposer& compose,
                         bool also_when_not_printing) {
  PreparedSlip prepared;
  const char* reason_if_unreadable = "读不到打印设置";
  try {
    store::Database db;
    store::ReadTransaction read(db);
    prepared.target = ReadPrintTarget(db);
    if (prepared.target.output == Output::kNone && !also_when_not_printing) return prepared;
    reason_if_unreadable = "读取数据有误";
    prepared.slip = compose(db, prepared.target.columns);
    prepared.slip->columns = prepared.target.columns;
  } catch (const kasso::UserError& error) {
    prepared.failure = failure_title + ": " + error.what();
  } catch (const store::DbError&) {
    prepared.failure = failure_title + ": " + reason_if_unreadable;
  }
  return prepared;
}

}  // namespace

SlipDelivery PrintOrKeepSlip(const std::string& failure_title, const SlipComposer& compose) {
  PreparedSlip prepared = PrepareSlip(failure_title, compose, true);
  SlipDelivery delivery;
  delivery.failure = prepared.failure;
  if (!prepared.slip) return delivery;
  if (prepared.target.output != Output::kNone) {
    Slip paper = *prepared.slip;
    paper.feed_lines = prepared.target.feed_lines;
    std::string reason = SendSlip(prepared.target, paper);
    if (reason.empty()) return delivery;
    delivery.failure = failure_title + ": " + reason;
  }
  delivery.unprinted = std::move(prepared.slip);
  return delivery;
}

std::string PrintSlip(const std::string& failure_title, const SlipComposer& compose) {
  PreparedSlip prepared = PrepareSlip(failure_title, compose, false);
  if (!prepared.slip) return prepared.failure;
  prepared.slip->feed_lines = prepared.target.feed_lines;
  std::string reason = SendSlip(prepared.target, *prepared.slip);
  return reason.empty() ? std::string() : failure_title + ": " + reason;
}

Slip ComposeSlipForScreen(const SlipComposer& compose) {
  store::Database db;
  store::ReadTransaction read(db);
  PrintTarget target;
  try {
    target = ReadPrintTarget(db);
  } catch (const store::DbError&) {
    // Unreadable printer settings do not hide the slip: it is shown for the usual roll.
  }
  Slip slip = compose(db, target.columns);
  slip.columns = target.columns;
  return slip;
}

}  // namespace print
