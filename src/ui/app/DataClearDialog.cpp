#include "ui/app/DataClearDialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <utility>

#include "core/common/error.h"
#include "core/store/database.h"
#include "ui/app/AuthorizationDialog.h"
#include "ui/common/MessageBox.h"
#include "ui_DataClearDialog.h"

namespace ui {

DataClearDialog::DataClearDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DataClearDialog>()) {
  ui_->setupUi(this);
  connect(ui_->startButton, &QPushButton::clicked, this, &DataClearDialog::OnStart);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &DataClearDialog::reject);
}

DataClearDialog::~DataClearDialog() = default;

std::vector<app::ClearGroup> DataClearDialog::CheckedGroups() const {
  const std::pair<const QCheckBox*, app::ClearGroup> boxes[] = {
      {ui_->salesCheck, app::ClearGroup::kSales},
      {ui_->stockCheck, app::ClearGroup::kStock},
      {ui_->purchasesCheck, app::ClearGroup::kPurchases},
      {ui_->returnsCheck, app::ClearGroup::kReturns},
      {ui_->stocktakesCheck, app::ClearGroup::kStocktakes},
      {ui_->membersCheck, app::ClearGroup::kMembers},
      {ui_->goodsCheck, app::ClearGroup::kGoods},
  };
  std::vector<app::ClearGroup> groups;
  for (const auto& [box, group] : boxes) {
    if (box->isChecked()) groups.push_back(group);
  }
  return groups;
}

void DataClearDialog::OnStart() {
  std::vector<app::ClearGroup> groups = CheckedGroups();
  if (groups.empty()) {
    ui::ShowMessage(this, "请选择要清除的数据");
    return;
  }
  if (!Authorize(this)) return;

  ui_->progressBar->setRange(0, app::ClearStepCount(groups));
  ui_->progressBar->setValue(0);
  SetBusy(true);
  try {
    std::filesystem::path safety_copy = app::ClearData(
        groups, [this](std::string_view text, int done, int) { ShowProgress(text, done); },
        actor_.toStdString());
    QString shown_path =
        QString::fromStdString(std::filesystem::absolute(safety_copy).lexically_normal().string());
    ui::ShowMessage(this, "数据删除完毕!\n清除前的数据已备份到 " + shown_path +
                              "\n误删时可用\"数据恢复\"选择此文件找回");
    accept();
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, QString::fromUtf8(error.what()));
    ui_->progressLabel->setText("清除内容");
    ui_->progressBar->setValue(0);
    SetBusy(false);
  } catch (const store::DbError&) {
    // Only opening kasso.db throws this: nothing was copied or cleared.
    ui::ShowMessage(this, "数据库无法打开, 未清除任何数据");
    reject();
  }
}

void DataClearDialog::ShowProgress(std::string_view text, int done) {
  if (!text.empty()) {
    ui_->progressLabel->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  }
  ui_->progressBar->setValue(done);
  // Paint now: the clear runs inside this handler, and handling input meanwhile could close
  // the dialog halfway.
  ui_->progressLabel->repaint();
  ui_->progressBar->repaint();
}

void DataClearDialog::SetBusy(bool busy) {
  ui_->groupsWidget->setEnabled(!busy);
  ui_->startButton->setEnabled(!busy);
  ui_->cancelButton->setEnabled(!busy);
}

}  // namespace ui
