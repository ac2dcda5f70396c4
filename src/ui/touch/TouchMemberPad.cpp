#include "ui/touch/TouchMemberPad.h"

#include "core/common/error.h"
#include "core/sale/member_selection.h"
#include "ui/common/MessageBox.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchPads.h"
#include "ui_TouchMemberPad.h"

namespace ui {

TouchMemberPad::TouchMemberPad(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TouchMemberPad>()) {
  ui_->setupUi(this);
  ui_->keypad->SetExtraKeys({});
  boxes_ = new TouchBoxes(this, {ui_->numberEdit, ui_->passwordEdit}, *ui_->keypad);
  ApplyPadLook(*this);
  connect(ui_->numberButton, &QPushButton::clicked, this,
          [this] { boxes_->Activate(ui_->numberEdit); });
  connect(ui_->passwordButton, &QPushButton::clicked, this,
          [this] { boxes_->Activate(ui_->passwordEdit); });
  connect(ui_->okButton, &QPushButton::clicked, this, &TouchMemberPad::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &TouchMemberPad::reject);
}

TouchMemberPad::~TouchMemberPad() = default;

void TouchMemberPad::OnConfirm() {
  try {
    member_id_ = QString::fromStdString(sale::CheckMemberSelection(
        ui_->numberEdit->text().toStdString(), ui_->passwordEdit->text().toStdString()));
  } catch (const common::ValidationError& error) {
    ui::ShowMessage(this, QString::fromUtf8(error.what()));
    boxes_->Activate(error.field() == "password" ? ui_->passwordEdit : ui_->numberEdit);
    return;
  } catch (const common::UserError& error) {
    ui::ShowMessage(this, QString::fromUtf8(error.what()));
    return;
  }
  // A phone or identity number was typed: the box shows whose card it is.
  ui_->numberEdit->setText(member_id_);
  accept();
}

}  // namespace ui
