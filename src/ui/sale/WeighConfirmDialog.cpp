#include "ui/sale/WeighConfirmDialog.h"

#include <QFont>
#include <exception>
#include <optional>
#include <string>

#include "core/devices/scale.h"
#include "core/servicelib/kasso_basic.h"
#include "ui/common/MessageBox.h"
#include "ui_WeighConfirmDialog.h"

namespace ui {
namespace {

constexpr const char* kReadingText = "重量读取中.......";
constexpr const char* kNoWeight = "0.00";

// Large type the cashier reads at arm's length: "宋体", heavy, at the given pixel height.
QFont LargeFont(int pixel_height) {
  QFont font("宋体");
  font.setPixelSize(pixel_height);
  font.setWeight(QFont::Black);
  return font;
}

// The unit of the goods of that name; nullopt when no such goods can be read.
std::optional<std::string> UnitOfGoods(const std::string& name) {
  std::string barcode = servicelib::GetBarcodeFromGoodsName(name);
  if (barcode.empty()) return std::nullopt;
  std::optional<servicelib::GoodsInfo> goods = servicelib::GetGoodsInfoFromBarcode(barcode);
  if (!goods) return std::nullopt;
  return goods->unit;
}

}  // namespace

WeighConfirmDialog::WeighConfirmDialog(QWidget* parent, const QString& goods_name)
    : QDialog(parent),
      ui_(std::make_unique<Ui::WeighConfirmDialog>()),
      source_(&devices::ReadScaleWeight) {
  ui_->setupUi(this);
  ui_->goodsLabel->setFont(LargeFont(kNameHeight));
  ui_->weightLabel->setFont(LargeFont(kNameHeight));
  ui_->unitLabel->setFont(LargeFont(kTextHeight));
  ui_->okButton->setFont(LargeFont(kTextHeight));
  ui_->cancelButton->setFont(LargeFont(kTextHeight));
  ui_->goodsLabel->setText(goods_name);
  ui_->weightLabel->setText(kReadingText);
  std::optional<std::string> unit = UnitOfGoods(goods_name.toStdString());
  if (unit) {
    ui_->unitLabel->setText(QString::fromStdString(*unit));
  } else {
    ui::ShowMessage(this, "商品有误");
  }
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
