#include "ui/backoffice/members/PointsFeedbackDialog.h"

#include <QKeyEvent>

#include "core/backoffice/members/points_feedback.h"
#include "core/common/error.h"
#include "core/servicelib/kasso_basic.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui_PointsFeedbackDialog.h"

namespace ui {
namespace {

std::string Text(const QString& text) { return text.trimmed().toStdString(); }
QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

PointsFeedbackDialog::PointsFeedbackDialog(QWidget* parent, const QString& workno,
                                           const QString& memberid)
    : QDialog(parent), ui_(std::make_unique<Ui::PointsFeedbackDialog>()), workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  for (QWidget* control :
       std::initializer_list<QWidget*>{ui_->memberEdit, ui_->giftBarcodeEdit, ui_->giftQuantityEdit,
                                       ui_->rateEdit, ui_->pointsEdit}) {
    control->installEventFilter(this);
  }
  connect(ui_->giftRadio, &QRadioButton::toggled, this, &PointsFeedbackDialog::ApplyKind);
  connect(ui_->pickGiftButton, &QPushButton::clicked, this, &PointsFeedbackDialog::OnPickGift);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &PointsFeedbackDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &PointsFeedbackDialog::reject);
  ui_->memberEdit->setText(memberid);
  ui_->giftRadio->setChecked(true);
  ApplyKind();
  ShowMember();
  ui_->memberEdit->setFocus();
}

PointsFeedbackDialog::~PointsFeedbackDialog() = default;

bool PointsFeedbackDialog::Gift() const { return ui_->giftRadio->isChecked(); }

void PointsFeedbackDialog::ApplyKind() {
  const bool gift = Gift();
  ui_->giftBarcodeEdit->setEnabled(gift);
  ui_->pickGiftButton->setEnabled(gift);
  ui_->giftQuantityEdit->setEnabled(gift);
  ui_->rateEdit->setEnabled(!gift);
}

void PointsFeedbackDialog::ShowMember() {
  const std::string memberid = Text(ui_->memberEdit->text());
  ui_->memberNameLabel->setText("会员名称: " + Text(servicelib::GetMemberName(memberid)));
  ui_->pointsHeldLabel->setText("当前积分: " +
                                FormatFixed(servicelib::GetMemberPointsValue(memberid), 0));
}

void PointsFeedbackDialog::ShowGiftName() {
  ui_->giftNameLabel->setText(
      "赠品名称: " + Text(servicelib::GetGoodsnameFromBarcode(Text(ui_->giftBarcodeEdit->text()))));
}

bool PointsFeedbackDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
  auto required = [this](QLineEdit* field, const char* message) {
    if (!field->text().trimmed().isEmpty()) return true;
    ShowMessage(this, message);
    return false;
  };
  if (watched == ui_->memberEdit) {
    if (!required(ui_->memberEdit, "请录入会员编号")) return true;
    ShowMember();
    (Gift() ? ui_->giftBarcodeEdit : ui_->rateEdit)->setFocus();
  } else if (watched == ui_->giftBarcodeEdit) {
    if (!required(ui_->giftBarcodeEdit, "请录入赠品条码")) return true;
    ShowGiftName();
    ui_->giftQuantityEdit->setFocus();
  } else if (watched == ui_->giftQuantityEdit) {
    if (required(ui_->giftQuantityEdit, "请录入赠品数量")) ui_->pointsEdit->setFocus();
  } else if (watched == ui_->rateEdit) {
    if (required(ui_->rateEdit, "请录入返利比率")) ui_->pointsEdit->setFocus();
  } else if (watched == ui_->pointsEdit) {
    OnConfirm();
  }
  return true;
}

void PointsFeedbackDialog::OnPickGift() {
  std::optional<std::string> barcode = GoodsListDialog::PickGoods(this, workno_);
  if (!barcode) return;
  ui_->giftBarcodeEdit->setText(Text(*barcode));
  ShowGiftName();
  ui_->giftQuantityEdit->setFocus();
}

void PointsFeedbackDialog::OnConfirm() {
  backoffice::Redemption redemption;
  redemption.memberid = Text(ui_->memberEdit->text());
  redemption.kind = Gift() ? backoffice::kGift : backoffice::kRebate;
  redemption.gift_barcode = Text(ui_->giftBarcodeEdit->text());
  redemption.gift_quantity = Text(ui_->giftQuantityEdit->text());
  redemption.rate = Text(ui_->rateEdit->text());
  redemption.points = Text(ui_->pointsEdit->text());
  redemption.workno = workno_.toStdString();
  try {
    backoffice::RedeemPoints(redemption);
  } catch (const common::ValidationError& error) {
    ShowMessage(this, QString::fromUtf8(error.what()));
    FocusField(error.field());
    return;
  } catch (const std::exception& error) {
    ShowMessage(this, ErrorText(error));
    return;
  }
  ShowMessage(this, "回馈完成");
  emit pointsRedeemed();
  accept();
}

void PointsFeedbackDialog::FocusField(const std::string& field) {
  QWidget* target = field == "gift_barcode"    ? static_cast<QWidget*>(ui_->giftBarcodeEdit)
                    : field == "gift_quantity" ? static_cast<QWidget*>(ui_->giftQuantityEdit)
                    : field == "rate"          ? static_cast<QWidget*>(ui_->rateEdit)
                    : field == "points"        ? static_cast<QWidget*>(ui_->pointsEdit)
                                               : static_cast<QWidget*>(ui_->memberEdit);
  if (target->isEnabled()) target->setFocus();
}

}  // namespace ui
