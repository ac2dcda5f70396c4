#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "core/sale/touch_entry.h"

namespace Ui {
class TouchNumberPad;
}

namespace ui {

// The number pad: a quantity, a unit price, petty cash or a discount rate typed with the
// keys "0" ... "9", ".", "-" and "退格". Closes on "确认" only with a number its mode accepts.
class TouchNumberPad : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchNumberPad)

 public:
  TouchNumberPad(QWidget* parent, sale::PadMode mode);
  ~TouchNumberPad() override;

  // The text accepted with "确认".
  QString text() const;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::TouchNumberPad> ui_;
  sale::PadMode mode_;
};

}  // namespace ui
