#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class LabelCountDialog;
}

namespace ui {

// "数量": how many labels to print for one selected goods item. "确认" closes only for a
// whole count of at least 1 and says why otherwise.
class LabelCountDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LabelCountDialog)

 public:
  LabelCountDialog(QWidget* parent, int count);
  ~LabelCountDialog() override;

  int count() const { return count_; }

 private:
  void OnConfirm();

  std::unique_ptr<Ui::LabelCountDialog> ui_;
  int count_;
};

}  // namespace ui
