#include "ui/backoffice/goods/GoodsQuantityDialog.h"

#include <QKeyEvent>

#include "core/backoffice/goods/combined_goods.h"
#include "core/backoffice/goods/stocktake.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/store/database.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/common/MessageBox.h"
#include "ui_GoodsQuantityDialog.h"

namespace ui {

GoodsQuantityKind::Line ComponentQuantityKind::Load(const std::string& barcode) {
  try {
    backoffice::ComponentLine line = backoffice::LoadComponent(combined_barcode_, barcode);
    return {QString::fromStdString(line.goodsname), QString::fromStdString(line.quantity)};
  } catch (const store::DbError&) {
    throw common::UserError("商品有误");
  }
}

void ComponentQuantityKind::Save(const std::string& barcode, const std::string& quantity) {
  try {
    backoffice::SaveComponent(combined_barcode_, barcode, quantity);
  } catch (const store::DbError&) {
    throw common::UserError("商品有误");
  }
}

GoodsQuantityKind::Line StocktakeQuantityKind::Load(const std::string& barcode) {
  try {
    backoffice::CountLine line = backoffice::LoadCount(barcode);
    return {QString::fromStdString(line.goodsname), QString::fromStdString(line.quantity)};
  } catch (const store::DbError&) {
    throw common::UserError("商品有误");
  }
}

void StocktakeQuantityKind::Save(const std::string& barcode, const std::string& quantity) {
  try {
    backoffice::SaveCount(barcode, quantity);
    last_saved_ = common::Trim(barcode);
  } catch (const store::DbError&) {
    throw common::UserError("商品有误");
  }
}

GoodsQuantityDialog::GoodsQuantityDialog(QWidget* parent, GoodsQuantityKind& kind,
                                         const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::GoodsQuantityDialog>()),
      kind_(kind),
      workno_(workno) {
  SetUp();
  ui_->barcodeEdit->setFocus();
}

GoodsQuantityDialog::GoodsQuantityDialog(QWidget* parent, GoodsQuantityKind& kind,
                                         const QString& workno, const QString& barcode)
    : QDialog(parent),
      ui_(std::make_unique<Ui::GoodsQuantityDialog>()),
      kind_(kind),
      workno_(workno),
      modify_mode_(true) {
  SetUp();
  ui_->barcodeEdit->setText(barcode);
  ui_->barcodeEdit->setEnabled(false);
  ui_->pickButton->setEnabled(false);
  LoadLine();
  ui_->quantityEdit->setFocus();
}

GoodsQuantityDialog::~GoodsQuantityDialog() = default;

void GoodsQuantityDialog::SetUp() {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  for (QWidget* control :
       std::initializer_list<QWidget*>{ui_->barcodeEdit, ui_->quantityEdit, ui_->confirmButton}) {
    control->installEventFilter(this);
  }
  connect(ui_->pickButton, &QPushButton::clicked, this, &GoodsQuantityDialog::OnPick);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &GoodsQuantityDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &GoodsQuantityDialog::reject);
}

bool GoodsQuantityDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
  if (watched == ui_->barcodeEdit) {
    if (LoadLine()) ui_->quantityEdit->setFocus();
  } else if (watched == ui_->quantityEdit) {
    ui_->confirmButton->setFocus();
  } else if (watched == ui_->confirmButton) {
    if (AskYesNo(this, "保存?")) OnConfirm();
  }
  return true;
}

bool GoodsQuantityDialog::LoadLine() {
  try {
    GoodsQuantityKind::Line line = kind_.Load(ui_->barcodeEdit->text().toStdString());
    ui_->nameLabel->setText(line.name);
    ui_->quantityEdit->setText(line.quantity);
    ui_->quantityEdit->selectAll();
    return true;
  } catch (const common::UserError& error) {
    ShowMessage(this, QString::fromStdString(error.what()));
    ui_->barcodeEdit->selectAll();
    return false;
  }
}

void GoodsQuantityDialog::OnPick() {
  std::optional<std::string> barcode = GoodsListDialog::PickGoods(this, workno_);
  if (!barcode) return;
  ui_->barcodeEdit->setText(QString::fromStdString(*barcode));
  if (LoadLine()) ui_->quantityEdit->setFocus();
}

void GoodsQuantityDialog::OnConfirm() {
  try {
    kind_.Save(ui_->barcodeEdit->text().toStdString(), ui_->quantityEdit->text().toStdString());
  } catch (const common::ValidationError& error) {
    ShowMessage(this, QString::fromStdString(error.what()));
    QWidget* field = error.field() == "quantity" ? static_cast<QWidget*>(ui_->quantityEdit)
                                                 : static_cast<QWidget*>(ui_->barcodeEdit);
    if (field->isEnabled()) field->setFocus();
    return;
  } catch (const common::UserError& error) {
    ShowMessage(this, QString::fromStdString(error.what()));
    return;
  }
  emit saved();
  if (modify_mode_) {
    accept();
    return;
  }
  ui_->barcodeEdit->clear();
  ui_->nameLabel->clear();
  ui_->quantityEdit->clear();
  ui_->barcodeEdit->setFocus();
}

}  // namespace ui
