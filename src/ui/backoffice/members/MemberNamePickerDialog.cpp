#include "ui/backoffice/members/MemberNamePickerDialog.h"

#include "core/common/error.h"
#include "core/reports/member_names.h"
#include "ui/common/MessageBox.h"
#include "ui_MemberNamePickerDialog.h"

namespace ui {

MemberNamePickerDialog::MemberNamePickerDialog(QWidget* parent,
                                               const std::vector<std::string>& names)
    : QDialog(parent), ui_(std::make_unique<Ui::MemberNamePickerDialog>()) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui_->memberCombo->addItem(QString::fromUtf8(reports::kAllMembers.data(),
                                              static_cast<qsizetype>(reports::kAllMembers.size())));
  for (const std::string& name : names) ui_->memberCombo->addItem(QString::fromStdString(name));
  // Nothing is chosen until the person chooses.
  ui_->memberCombo->setCurrentIndex(-1);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &MemberNamePickerDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &MemberNamePickerDialog::reject);
}

MemberNamePickerDialog::~MemberNamePickerDialog() = default;

void MemberNamePickerDialog::OnConfirm() {
  const std::string name = ui_->memberCombo->currentText().toStdString();
  if (name.empty()) {
    ShowMessage(this, "请选择会员名称");
    return;
  }
  if (name == reports::kAllMembers) {
    chosen_ = name;
    accept();
    return;
  }
  RunGuarded(this, [&] {
    // A member deleted since the list was read has no id: choosing it would look like the
    // sales without a member.
    std::string id = reports::MemberIdForName(name);
    if (id.empty()) throw common::UserError("请选择会员名称");
    chosen_ = std::move(id);
    accept();
  });
}

std::optional<std::string> MemberNamePickerDialog::Choose(QWidget* parent) {
  std::vector<std::string> names;
  if (!RunGuarded(parent, [&] { names = reports::ListMemberNames(); })) return std::nullopt;
  MemberNamePickerDialog dialog(parent, names);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen();
}

}  // namespace ui
