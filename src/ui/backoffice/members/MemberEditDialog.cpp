#include "ui/backoffice/members/MemberEditDialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"
#include "ui_MemberEditDialog.h"

namespace ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Text(const QString& text) { return text.toStdString(); }

}  // namespace

MemberEditDialog::MemberEditDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MemberEditDialog>()) {
  SetUp();
  ui_->idEdit->setFocus();
}

MemberEditDialog::MemberEditDialog(QWidget* parent, const QString& memberid)
    : QDialog(parent), ui_(std::make_unique<Ui::MemberEditDialog>()), modify_mode_(true) {
  SetUp();
  try {
    if (auto fields = backoffice::LoadMemberForEdit(Text(memberid))) ShowFields(*fields);
  } catch (const store::DbError&) {
    ShowMessage(this, "会员有误");
  }
  ui_->idEdit->setText(memberid);
  ui_->idEdit->setEnabled(false);
  ui_->nameEdit->setFocus();
}

MemberEditDialog::~MemberEditDialog() = default;

void MemberEditDialog::SetUp() {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ApplyAdvantage(false);
  for (QWidget* control : std::initializer_list<QWidget*>{
           ui_->idEdit, ui_->nameEdit, ui_->sexCombo, ui_->pidEdit, ui_->phoneEdit,
           ui_->passwordEdit, ui_->pointsModeCombo, ui_->depositModeCombo, ui_->pointsEdit,
           ui_->advantageCombo, ui_->rateEdit, ui_->disOnDisCheck, ui_->addressEdit,
           ui_->confirmButton}) {
    control->installEventFilter(this);
  }
  // The balance changes through sales, top-ups and rebates only: it is drawn on the dialog's
  // background so it does not look like a field to type in, and a click on it is watched.
  QPalette shown = ui_->balanceEdit->palette();
  shown.setColor(QPalette::Base, shown.color(QPalette::Window));
  ui_->balanceEdit->setPalette(shown);
  ui_->balanceEdit->installEventFilter(this);
  // Key presses of an editable drop-down reach its line edit.
  for (QComboBox* combo : {ui_->pointsModeCombo, ui_->depositModeCombo}) {
    combo->lineEdit()->installEventFilter(this);
  }
  connect(ui_->advantageCombo, &QComboBox::activated, this, [this] { ApplyAdvantage(true); });
  connect(ui_->confirmButton, &QPushButton::clicked, this, &MemberEditDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &MemberEditDialog::reject);
}

void MemberEditDialog::ShowFields(const backoffice::MemberFields& fields) {
  loaded_id_ = fields.memberid;
  ui_->idEdit->setText(Text(fields.memberid));
  ui_->nameEdit->setText(Text(fields.membername));
  // An empty or unknown sex shows no choice rather than the previous member's, and is saved so.
  ui_->sexCombo->setCurrentIndex(ui_->sexCombo->findText(Text(fields.membersex)));
  ui_->pidEdit->setText(Text(fields.memberpid));
  ui_->phoneEdit->setText(Text(fields.memberphone));
  // Only the hash is stored: an empty field keeps the member's password.
  ui_->passwordEdit->clear();
  ui_->passwordEdit->setPlaceholderText("不修改请留空");
  ui_->pointsModeCombo->setEditText(Text(fields.memberpointsmode));
  ui_->depositModeCombo->setEditText(Text(fields.depositmode));
  ui_->pointsEdit->setText(Text(fields.memberpointsvalue));
  points_shown_ = fields.memberpointsvalue;
  ui_->balanceEdit->setText(Text(fields.depositvalue));
  ui_->advantageCombo->setCurrentIndex(ui_->advantageCombo->findText(Text(fields.dismode)));
  ApplyAdvantage(false);
  if (fields.dismode == backoffice::kAdvantageDiscount) {
    ui_->rateEdit->setText(Text(fields.disrate));
    ui_->disOnDisCheck->setChecked(fields.disondis);
  }
  ui_->addressEdit->setText(Text(fields.memberaddress));
}

backoffice::MemberFields MemberEditDialog::ReadFields() const {
  backoffice::MemberFields fields;
  fields.memberid = Text(ui_->idEdit->text());
  fields.membername = Text(ui_->nameEdit->text());
  fields.membersex = Text(ui_->sexCombo->currentText());
  fields.memberpid = Text(ui_->pidEdit->text());
  fields.memberphone = Text(ui_->phoneEdit->text());
  fields.memberpw = Text(ui_->passwordEdit->text());
  fields.memberpointsmode = Text(ui_->pointsModeCombo->currentText());
  fields.depositmode = Text(ui_->depositModeCombo->currentText());
  fields.memberpointsvalue = Text(ui_->pointsEdit->text());
  fields.points_shown = points_shown_;
  fields.depositvalue = Text(ui_->balanceEdit->text());
  fields.dismode = Text(ui_->advantageCombo->currentText());
  fields.disrate = Text(ui_->rateEdit->text());
  fields.disondis = ui_->disOnDisCheck->isChecked();
  fields.memberaddress = Text(ui_->addressEdit->text());
  return fields;
}

void MemberEditDialog::ApplyAdvantage(bool chosen_by_user) {
  const bool discount = ui_->advantageCombo->currentText() == backoffice::kAdvantageDiscount;
  ui_->rateEdit->setEnabled(discount);
  ui_->disOnDisCheck->setEnabled(discount);
  if (!discount) {
    ui_->rateEdit->setText("1");
    ui_->disOnDisCheck->setChecked(false);
  } else if (chosen_by_user) {
    ui_->rateEdit->setFocus();
    ui_->rateEdit->selectAll();
  }
}

bool MemberEditDialog::eventFilter(QObject* watched, QEvent* event) {
  // The balance never takes the focus, so a click on it would leave the focus in the field that
  // had it and what is typed next would land there (a name typed over with the balance wanted).
  // The click takes the focus from that field, so the typing reaches none.
  if (watched == ui_->balanceEdit && event->type() == QEvent::MouseButtonPress) {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
    return QDialog::eventFilter(watched, event);
  }
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);

  if (watched == ui_->confirmButton) {
    if (AskYesNo(this, "保存?")) OnConfirm();
  } else if (watched == ui_->idEdit) {
    OnIdEntered();
  } else if (watched == ui_->pidEdit) {
    ui_->phoneEdit->setFocus();
  } else if (watched == ui_->addressEdit) {
    ui_->confirmButton->setFocus();
  } else {
    focusNextChild();
  }
  return true;
}

void MemberEditDialog::OnIdEntered() {
  const std::string memberid = Text(ui_->idEdit->text().trimmed());
  if (!memberid.empty()) {
    try {
      if (auto fields = backoffice::LoadMemberForEdit(memberid)) ShowFields(*fields);
    } catch (const store::DbError&) {
      ShowMessage(this, "会员有误");
    }
  }
  ui_->nameEdit->setFocus();
}

bool MemberEditDialog::DeclinesOverwrite(const std::string& memberid) {
  const std::string id = kasso::Trim(memberid);
  if (modify_mode_ || id == loaded_id_ || !backoffice::MemberExists(id)) return false;
  if (AskYesNo(this, "该会员编号已存在,是否修改?")) return false;
  ui_->idEdit->setFocus();
  ui_->idEdit->selectAll();
  return true;
}

void MemberEditDialog::OnConfirm() {
  try {
    const backoffice::MemberFields fields = ReadFields();
    if (DeclinesOverwrite(fields.memberid)) return;
    backoffice::SaveMember(fields);
  } catch (const kasso::ValidationError& error) {
    ShowMessage(this, QString::fromUtf8(error.what()));
    FocusField(error.field());
    return;
  } catch (const std::exception& error) {
    ShowMessage(this, ErrorText(error));
    return;
  }
  emit memberSaved();
  if (modify_mode_) {
    accept();
    return;
  }
  for (QLineEdit* field : {ui_->idEdit, ui_->nameEdit, ui_->pidEdit, ui_->phoneEdit,
                           ui_->addressEdit, ui_->passwordEdit}) {
    field->clear();
  }
  ui_->pointsEdit->setText("0");
  ui_->balanceEdit->setText("0");
  points_shown_ = "0";
  loaded_id_.clear();
  ui_->idEdit->setFocus();
}

void MemberEditDialog::FocusField(const std::string& field) {
  QWidget* target = field == "memberid"           ? static_cast<QWidget*>(ui_->idEdit)
                    : field == "membername"       ? static_cast<QWidget*>(ui_->nameEdit)
                    : field == "dismode"          ? static_cast<QWidget*>(ui_->advantageCombo)
                    : field == "disrate"          ? static_cast<QWidget*>(ui_->rateEdit)
                    : field == "depositmode"      ? static_cast<QWidget*>(ui_->depositModeCombo)
                    : field == "memberpointsmode" ? static_cast<QWidget*>(ui_->pointsModeCombo)
                                                  : static_cast<QWidget*>(ui_->pointsEdit);
  if (target->isEnabled()) target->setFocus();
}

}  // namespace ui
