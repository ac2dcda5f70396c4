#include "ui/touch/TouchPricePad.h"

#include "core/common/error.h"
#include "core/sale/quick_goods.h"
#include "core/sale/touch_entry.h"
#include "ui/common/MessageBox.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchPads.h"
#include "ui_TouchPricePad.h"

namespace ui {

TouchPricePad::TouchPricePad(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TouchPricePad>()) {
  ui_->setupUi(this);
  ui_->keypad->SetExtraKeys({QStringLiteral("·")});
  new TouchBoxes(this, {ui_->priceEdit}, *ui_->keypad);
  ApplyPadLook(*this);
  connect(ui_->okButton, &QPushButton::clicked, this, &TouchPricePad::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &TouchPricePad::reject);
}

TouchPricePad::~TouchPricePad() = default;

void TouchPricePad::OnConfirm() {
  try {
    price_ = sale::CheckPriceEntry(sale::PadNumberText(ui_->priceEdit->text().toStdString()));
  } catch (const common::UserError& error) {
    ui::ShowMessage(this, QString::fromUtf8(error.what()));
    return;
  }
  accept();
}

}  // namespace ui
