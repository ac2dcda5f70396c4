#pragma once

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class PriceEntryDialog;
}

namespace ui {

// "价格录入": the price typed at the till for goods priced 0. Closes with OK only for a
// price the sale engine accepts; otherwise says why and keeps the typed text.
class PriceEntryDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(PriceEntryDialog)

 public:
  explicit PriceEntryDialog(QWidget* parent = nullptr);
  ~PriceEntryDialog() override;

  // The accepted price; empty until OK succeeded.
  std::optional<double> price() const { return price_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::PriceEntryDialog> ui_;
  std::optional<double> price_;
};

}  // namespace ui
