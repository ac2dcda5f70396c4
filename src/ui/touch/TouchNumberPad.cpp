#include "ui/touch/TouchNumberPad.h"

#include "ui/common/MessageBox.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchPads.h"
#include "ui_TouchNumberPad.h"

namespace ui {

TouchNumberPad::TouchNumberPad(QWidget* parent, sale::PadMode mode)
    : QDialog(parent), ui_(std::make_unique<Ui::TouchNumberPad>()), mode_(mode) {
  ui_->setupUi(this);
  const sale::PadCaptions captions = sale::CaptionsOf(mode);
  setWindowTitle(QString::fromUtf8(captions.title.data(), qsizetype(captions.title.size())));
  ui_->valueLabel->setText(
      QString::fromUtf8(captions.label.data(), qsizetype(captions.label.size())));
  ui_->keypad->SetExtraKeys({QStringLiteral("."), QStringLiteral("-")});
  new TouchBoxes(this, {ui_->valueEdit}, *ui_->keypad);
  ApplyPadLook(*this);
  connect(ui_->okButton, &QPushButton::clicked, this, &TouchNumberPad::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &TouchNumberPad::reject);
}

TouchNumberPad::~TouchNumberPad() = default;

QString TouchNumberPad::text() const { return ui_->valueEdit->text(); }

void TouchNumberPad::OnConfirm() {
  const std::string refused = sale::CheckPadNumber(mode_, text().toStdString());
  if (!refused.empty()) {
    ui::ShowMessage(this, QString::fromStdString(refused));
    return;
  }
  accept();
}

}  // namespace ui
