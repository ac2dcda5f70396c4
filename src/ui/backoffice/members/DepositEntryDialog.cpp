#include "ui/backoffice/members/DepositEntryDialog.h"

#include <QKeyEvent>

#include "core/backoffice/members/top_up.h"
#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
#include "ui/backoffice/members/MemberBatchSelectDialog.h"
#include "ui/common/MessageBox.h"
#include "ui_DepositEntryDialog.h"

namespace ui {
namespace {

std::string Text(const QString& text) { return text.toStdString(); }

}  // namespace

DepositEntryDialog::DepositEntryDialog(QWidget* parent, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::DepositEntryDialog>()), workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  for (QWidget* control : std::initializer_list<QWidget*>{ui_->memberEdit, ui_->amountEdit,
                                                          ui_->printCheck, ui_->confirmButton}) {
    control->installEventFilter(this);
  }
  connect(ui_->batchButton, &QPushButton::clicked, this, &DepositEntryDialog::OnBatch);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &DepositEntryDialog::OnConfirmClicked);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &DepositEntryDialog::reject);
  ui_->memberEdit->setFocus();
}

DepositEntryDialog::~DepositEntryDialog() = default;

bool DepositEntryDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
  if (watched == ui_->memberEdit) {
    OnMemberEntered();
  } else if (watched == ui_->amountEdit || watched == ui_->printCheck) {
    ui_->confirmButton->setFocus();
  } else if (watched == ui_->confirmButton) {
    if (AskYesNo(this, "保存?") && Record()) {
      // Ready for the next top-up.
      ui_->memberEdit->clear();
      ui_->memberNameLabel->clear();
      ui_->amountEdit->clear();
      ui_->memberEdit->setFocus();
    }
  }
  return true;
}

void DepositEntryDialog::OnMemberEntered() {
  const std::string text = Text(ui_->memberEdit->text().trimmed());
  if (text.empty()) {
    ShowMessage(this, "请录入会员编号");
    return;
  }
  std::string memberid;
  try {
    memberid = backoffice::ResolveTopUpMember(text);
  } catch (const std::exception& error) {
    ShowMessage(this, ErrorText(error));
    return;
  }
  ui_->memberEdit->setText(QString::fromStdString(memberid));
  ShowMemberName(memberid);
  ui_->amountEdit->setFocus();
}

void DepositEntryDialog::ShowMemberName(const std::string& memberid) {
  if (memberid == backoffice::kBatchMember) {
    ui_->memberNameLabel->setText("批量储值");
    return;
  }
  ui_->memberNameLabel->clear();
  try {
    store::Database db;
    ui_->memberNameLabel->setText(QString::fromStdString(servicelib::GetMemberName(db, memberid)));
  } catch (const store::DbError&) {
    ShowMessage(this, "数据有误");
  }
}

void DepositEntryDialog::OnBatch() {
  MemberBatchSelectDialog batch(this);
  batch.exec();
  ui_->memberEdit->setText(backoffice::kBatchMember);
  ui_->memberNameLabel->setText("批量储值");
  ui_->amountEdit->setFocus();
}

void DepositEntryDialog::OnConfirmClicked() {
  try {
    backoffice::CheckTopUpEntry(Text(ui_->memberEdit->text()), Text(ui_->amountEdit->text()));
  } catch (const std::exception& error) {
    ShowMessage(this, ErrorText(error));
    return;
  }
  if (Record()) accept();
}

bool DepositEntryDialog::Record() {
  backoffice::TopUpDone done;
  try {
    done = backoffice::SaveTopUp(Text(ui_->memberEdit->text()), Text(ui_->amountEdit->text()),
                                 ui_->printCheck->isChecked(), Text(workno_));
  } catch (const std::exception& error) {
    ShowMessage(this, ErrorText(error));
    return false;
  }
  if (!done.print_failure.empty()) ShowMessage(this, QString::fromStdString(done.print_failure));
  return true;
}

}  // namespace ui
