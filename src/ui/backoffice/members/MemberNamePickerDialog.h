#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Ui {
class MemberNamePickerDialog;
}

namespace ui {

// "会员": chooses a member by name from a drop-down of "全部" and every member name. "确认"
// gives "全部" or the id of the first member of the chosen name; without a choice it says
// "请选择会员名称" and stays open. "取消" chooses nothing.
class MemberNamePickerDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberNamePickerDialog)

 public:
  // names: the member names offered after "全部", in their order.
  MemberNamePickerDialog(QWidget* parent, const std::vector<std::string>& names);
  ~MemberNamePickerDialog() override;

  // "全部" or a member id, once confirmed.
  const std::string& chosen() const { return chosen_; }

  // Reads the member names and runs the dialog. Nothing when cancelled, or when the members
  // cannot be read ("设定有误" is shown and the dialog does not open).
  static std::optional<std::string> Choose(QWidget* parent);

 private:
  void OnConfirm();

  std::unique_ptr<Ui::MemberNamePickerDialog> ui_;
  std::string chosen_;
};

}  // namespace ui
