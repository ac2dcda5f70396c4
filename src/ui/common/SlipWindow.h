#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "core/devices/slip.h"
#include "core/devices/slip_printer.h"

namespace Ui {
class SlipWindow;
}

namespace ui {

// A slip on the screen, laid out as on the paper: the closed shift's figures after F12, and the
// shift slip, a reprinted receipt or a top-up slip when the till prints nothing or the printer
// failed, so a till without a printer can still show every slip. "打印" sends it to the
// printer of the settings; without one (or when that fails) it writes a PDF file chosen in
// "文件管理", and says where the slip went.
class SlipWindow : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(SlipWindow)

 public:
  // caption is shown above the slip (empty: none).
  SlipWindow(QWidget* parent, const QString& title, print::Slip slip,
             const QString& caption = QString());
  ~SlipWindow() override;

  // The slip as shown, one line of text per slip line.
  QString text() const;

  // Shows the slip modally.
  static void Show(QWidget* parent, const QString& title, const print::Slip& slip,
                   const QString& caption = QString());

 private:
  void OnPrint();
  // Writes the slip as a PDF file the user chooses (nothing when the choice is cancelled).
  void PrintToPdf();

  std::unique_ptr<Ui::SlipWindow> ui_;
  print::Slip slip_;
};

// The end of a print that may fall back to the screen: tells why the slip was not printed,
// then shows it when it came back unprinted.
void ShowSlipDelivery(QWidget* parent, const QString& title, const print::SlipDelivery& delivery);

}  // namespace ui
