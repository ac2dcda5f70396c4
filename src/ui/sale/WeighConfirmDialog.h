#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

namespace Ui {
class WeighConfirmDialog;
}

namespace ui {

// "称重确认": shows the goods' name and unit and the serial scale's weight, read every half
// second, in large type until the cashier confirms it. Confirming before any weight arrived
// gives "0.00". Goods of that name that cannot be found are told with "商品有误".
class WeighConfirmDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(WeighConfirmDialog)

 public:
  static constexpr int kPollMs = 500;
  // Pixel heights of the name and weight, and of the unit and the buttons.
  static constexpr int kNameHeight = 30;
  static constexpr int kTextHeight = 15;
  // Where the raw weight comes from (the serial scale by default).
  using WeightSource = std::function<std::string()>;

  WeighConfirmDialog(QWidget* parent, const QString& goods_name);
  ~WeighConfirmDialog() override;

  void SetWeightSource(WeightSource source) { source_ = std::move(source); }
  // One poll of the scale.
  void ReadWeight();
  // The confirmed weight text; valid after OK.
  const QString& weight() const { return weight_; }

 private:
  void OnConfirm();

  std::unique_ptr<Ui::WeighConfirmDialog> ui_;
  WeightSource source_;
  QTimer poll_;
  QString weight_;
};

}  // namespace ui
