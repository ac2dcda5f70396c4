#pragma once

// Where a slip goes, by the printer mode of the settings: "POS58" sends ESC/POS bytes to the
// receipt printer on the printer port (lpt1 or com1 only), "驱动打印" and "驱动76mm" hand the
// slip to the printer driver of the screen layer (58 mm and 76 mm paper), anything else
// ("不打印") prints nothing.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/devices/slip.h"
#include "core/store/database.h"

namespace print {

inline constexpr std::string_view kModeReceiptPrinter = "POS58";
inline constexpr std::string_view kModeDriver58 = "驱动打印";
inline constexpr std::string_view kModeDriver76 = "驱动76mm";

// Prints through the operating system's printer driver. Core cannot draw; the screen layer
// registers one for the program (tests register their own).
class DriverPrinter {
 public:
  virtual ~DriverPrinter() = default;
  // Prints the slip on the printer of that name (empty: the default printer) on roll paper
  // paper_mm wide. Returns empty when printed, else why not, for the person at the till.
  virtual std::string Print(const Slip& slip, const std::string& printer_name, int paper_mm) = 0;
};

// The driver printer slips in the driver modes go to; nullptr removes it. Not owned.
void SetDriverPrinter(DriverPrinter* printer);
DriverPrinter* RegisteredDriverPrinter();

enum class Output { kNone, kPort, kDriver };

// How a slip is printed now, from the settings row.
struct PrintTarget {
  Output output = Output::kNone;
  int columns = kColumns58mm;
  int paper_mm = kPaper58mm;
  std::string port;          // kPort: the printerport setting
  std::string printer_name;  // kDriver: the printername setting
  int feed_lines = 0;        // emptylines
};

// Reads printercontrol, printerport, printername and emptylines. Throws store::DbError when
// the settings cannot be read (no row counts as unreadable).
PrintTarget ReadPrintTarget(store::Database& db);

// Sends a composed slip to its target. Returns empty when it was printed (or the target
// prints nothing), else the reason it was not.
std::string SendSlip(const PrintTarget& target, const Slip& slip);

// Composes a slip for the paper's columns on the caller's connection. Throws
// common::UserError with the reason when there is nothing to print (an unknown bill), or
// store::DbError.
using SlipComposer = std::function<Slip(store::Database& db, int columns)>;

// The whole print of one slip: opens kasso.db once, reads the printer settings and, when the
// mode prints, composes the slip in one read transaction; closes the file, then prints.
// Returns empty when printed or when the mode prints nothing, else failure_title followed
// by the reason ("小票打印失败: 流水号 12 不存在"); nothing is printed then.
std::string PrintSlip(const std::string& failure_title, const SlipComposer& compose);

// A slip sent to the printer, or kept for the screen when it was not printed.
struct SlipDelivery {
  std::string failure;            // as PrintSlip returns it; empty when printed
  std::optional<Slip> unprinted;  // the slip, when the mode prints nothing or printing failed
};

// PrintSlip for a slip the till can also show: when the mode prints nothing ("不打印") or the
// printer fails, the slip composed for a 58 mm roll (or the paper of the settings) is handed
// back to be shown on the screen. Nothing is handed back when the slip itself cannot be
// composed (an unknown bill, an unreadable file): failure says why.
SlipDelivery PrintOrKeepSlip(const std::string& failure_title, const SlipComposer& compose);

// The slip composed for the paper of the settings (a 58 mm roll when the till prints nothing
// or the settings cannot be read), to be shown on the screen. Throws as compose does.
Slip ComposeSlipForScreen(const SlipComposer& compose);

}  // namespace print
