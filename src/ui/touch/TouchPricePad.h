#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TouchPricePad;
}

namespace ui {

// "价格": the price of goods priced 0, typed with "0" ... "9", "·" and "退格". Closes on "确定"
// only with a price ("请录入价格", "价格有误" otherwise).
class TouchPricePad : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchPricePad)

 public:
  explicit TouchPricePad(QWidget* parent);
  ~TouchPricePad() override;

  double price() const { return price_; }

 private:
  void OnConfirm();

  std::unique_ptr<Ui::TouchPricePad> ui_;
  double price_ = 0;
};

}  // namespace ui
