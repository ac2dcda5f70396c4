#include "ui/sale/WeighConfirmDialog.h"

#include <exception>

#include "core/devices/scale.h"
#include "ui_WeighConfirmDialog.h"

namespace ui {
namespace {

constexpr const char* kReadingText = "重量读取中.......";
constexpr const char* kNoWeight = "0.00";

}  // namespace

WeighConfirmDialog::WeighConfirmDialog(QWidget* parent, const QString& goods_name)
    : QDialog(parent),
      ui_(std::make_unique<Ui::WeighConfirmDialog>()),
      source_(&devices::ReadScaleWeight) {
  ui_->setupUi(this);
  ui_->goodsLabel->setText(goods_name);
  ui_->weightLabel->setText(kReadingText);
  connect(ui_->okButton, &QPushButton::clicked, this, &WeighConfirmDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &WeighConfirmDialog::reject);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &WeighConfirmDialog::ReadWeight);
  poll_.start();
}

WeighConfirmDialog::~WeighConfirmDialog() = default;

void WeighConfirmDialog::ReadWeight() {
  std::string text;
  try {
    text = devices::FormatScaleWeight(source_());
  } catch (const std::exception&) {
    return;  // a scale that cannot be read leaves the last weight shown
  }
  ui_->weightLabel->setText(QString::fromStdString(text));
}

void WeighConfirmDialog::OnConfirm() {
  QString shown = ui_->weightLabel->text();
  weight_ = shown.isEmpty() || shown == kReadingText ? QString(kNoWeight) : shown;
  poll_.stop();
  accept();
}

}  // namespace ui
