#include "ui/backoffice/members/DepositEntryDialog.h"

#include <QKeyEvent>

#include "core/backoffice/members/top_up.h"
#include "core/lookups/members.h"
#include "core/store/database.h"
#include "ui/backoffice/members/MemberBatchSelectDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui/common/SlipWindow.h"
#include "ui_DepositEntryDialog.h"

namespace ui {
namespace {

std::string Text(const QString& text) { return text.toStdString(); }

}  // namespace

DepositEntryDialog::DepositEntryDialog(QWidget* parent, const QString& workno,
                                       const QString& memberid)
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
  if (memberid.isEmpty()) {
    ui_->memberEdit->setFocus();
  } else {
    // The member chosen in the list: only the amount is left to type.
    ui_->memberEdit->setText(memberid);
    ShowMember(Text(memberid));
    ui_->amountEdit->setFocus();
  }
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
    QString question;
    try {
      question = QString::fromStdString(
          backoffice::TopUpQuestion(Text(ui_->memberEdit->text()), Text(ui_->amountEdit->text())));
    } catch (const std::exception& error) {
      ShowMessage(this, ErrorText(error));
      return true;
    }
    if (AskYesNo(this, question) && Record()) {
      // Ready for the next top-up.
      ui_->memberEdit->clear();
      ClearMember();
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
  ShowMember(memberid);
  ui_->amountEdit->setFocus();
}

void DepositEntryDialog::ClearMember() {
  ui_->memberNameLabel->clear();
  ui_->balanceLabel->clear();
}

void DepositEntryDialog::ShowMember(const std::string& memberid) {
  ClearMember();
  if (memberid == backoffice::kBatchMember) {
    ui_->memberNameLabel->setText("批量储值");
    return;
  }
  try {
    store::Database db;
    ui_->memberNameLabel->setText(QString::fromStdString(lookups::MemberName(db, memberid)));
    ui_->balanceLabel->setText(FormatMoney(lookups::MemberBalance(db, memberid)));
  } catch (const store::DbError&) {
    ShowMessage(this, "数据有误");
  }
}

void DepositEntryDialog::OnBatch() {
  MemberBatchSelectDialog batch(this);
  batch.exec();
  ui_->memberEdit->setText(backoffice::kBatchMember);
  ShowMember(backoffice::kBatchMember);
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
  ShowSlipDelivery(this, "储值小票", {done.print_failure, done.unprinted_slip});
  return true;
}

}  // namespace ui
