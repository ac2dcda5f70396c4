#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class MemberBatchSelectDialog;
}

namespace ui {

// "会员选择": the stored-value members, several selectable at once. "确认" makes the selected
// members the batch of the next "*" top-up (none selected: an empty batch) and closes; "取消"
// closes and keeps the earlier batch.
class MemberBatchSelectDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberBatchSelectDialog)

 public:
  explicit MemberBatchSelectDialog(QWidget* parent);
  ~MemberBatchSelectDialog() override;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::MemberBatchSelectDialog> ui_;
};

}  // namespace ui
