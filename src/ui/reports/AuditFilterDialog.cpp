#include "ui/reports/AuditFilterDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/MessageBox.h"

namespace ui {
namespace {

constexpr const char* kEvery = "全部";

std::optional<std::string> Chosen(const QComboBox* box) {
  if (box->currentIndex() <= 0) return std::nullopt;
  return box->currentText().toStdString();
}

}  // namespace

AuditFilterDialog::AuditFilterDialog(QWidget* parent)
    : QDialog(parent), account_(new QComboBox(this)), action_(new QComboBox(this)) {
  setWindowTitle("操作日志");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  account_->setObjectName("accountCombo");
  action_->setObjectName("actionCombo");
  account_->addItem(kEvery);
  action_->addItem(kEvery);
  RunGuarded(this, [this] {
    for (const std::string& workno : reports::AuditAccounts()) {
      account_->addItem(QString::fromStdString(workno));
    }
  });
  for (const std::string& action : reports::AuditActions()) {
    action_->addItem(QString::fromStdString(action));
  }

  auto* fields = new QFormLayout;
  fields->addRow("账号", account_);
  fields->addRow("操作", action_);
  auto* confirm = new QPushButton("确认", this);
  auto* cancel = new QPushButton("取消", this);
  confirm->setObjectName("confirmButton");
  cancel->setObjectName("cancelButton");
  confirm->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(confirm);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  connect(confirm, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

reports::AuditFilter AuditFilterDialog::filter() const {
  return {Chosen(account_), Chosen(action_)};
}

std::optional<reports::AuditFilter> AuditFilterDialog::Choose(QWidget* parent) {
  AuditFilterDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.filter();
}

}  // namespace ui
