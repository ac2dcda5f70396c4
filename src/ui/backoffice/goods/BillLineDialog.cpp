#include "ui/backoffice/goods/BillLineDialog.h"

#include <QKeyEvent>

#include "core/common/error.h"
#include "core/store/database.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/sale/SaleDialogs.h"
#include "ui_BillLineDialog.h"

namespace ui {
namespace {

using backoffice::BillKind;
using backoffice::LineField;

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

BillLineDialog::BillLineDialog(QWidget* parent, BillKind kind, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::BillLineDialog>()), kind_(kind), workno_(workno) {
  SetUp();
  ResetFields();
  ui_->barcodeEdit->setFocus();
}

BillLineDialog::BillLineDialog(QWidget* parent, BillKind kind, const QString& workno,
                               const QString& barcode)
    : QDialog(parent),
      ui_(std::make_unique<Ui::BillLineDialog>()),
      kind_(kind),
      workno_(workno),
      modify_mode_(true) {
  SetUp();
  ui_->barcodeEdit->setText(barcode);
  ui_->barcodeEdit->setEnabled(false);
  ui_->pickButton->setEnabled(false);
  LoadLine();
  Focus(ui_->quantityEdit);
}

BillLineDialog::~BillLineDialog() = default;

void BillLineDialog::SetUp() {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(kind_ == BillKind::kPurchase ? "进货录入" : "返厂录入");
  for (QWidget* control :
       std::initializer_list<QWidget*>{ui_->barcodeEdit, ui_->quantityEdit, ui_->priceEdit,
                                       ui_->amountEdit, ui_->confirmButton}) {
    control->installEventFilter(this);
  }
  // textEdited: only what the user typed, not the fields this screen fills in.
  connect(ui_->quantityEdit, &QLineEdit::textEdited, this, [this] { Typed(LineField::kQuantity); });
  connect(ui_->priceEdit, &QLineEdit::textEdited, this, [this] { Typed(LineField::kPrice); });
  connect(ui_->amountEdit, &QLineEdit::textEdited, this, [this] { Typed(LineField::kAmount); });
  connect(ui_->pickButton, &QPushButton::clicked, this, &BillLineDialog::OnPick);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &BillLineDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &BillLineDialog::reject);
}

void BillLineDialog::ResetFields() {
  ui_->barcodeEdit->clear();
  ui_->nameLabel->clear();
  ui_->quantityEdit->clear();
  // A purchase starts from a price and amount of 0, a return from empty fields.
  const QString start = kind_ == BillKind::kPurchase ? "0" : "";
  ui_->priceEdit->setText(start);
  ui_->amountEdit->setText(start);
  changed_ = backoffice::LineChange::kNone;
}

backoffice::BillLineFields BillLineDialog::Fields() const {
  return {ui_->barcodeEdit->text().toStdString(), ui_->quantityEdit->text().toStdString(),
          ui_->priceEdit->text().toStdString(), ui_->amountEdit->text().toStdString(), changed_};
}

void BillLineDialog::Typed(LineField field) { changed_ = backoffice::AfterTyping(changed_, field); }

bool BillLineDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
  if (watched == ui_->barcodeEdit) {
    if (LoadLine()) Focus(ui_->quantityEdit);
  } else if (watched == ui_->quantityEdit) {
    Focus(ui_->priceEdit);
  } else if (watched == ui_->priceEdit) {
    EnterPrice();
  } else if (watched == ui_->amountEdit) {
    EnterAmount();
  } else if (watched == ui_->confirmButton) {
    if (AskYesNo(this, "保存?")) OnConfirm();
  }
  return true;
}

void BillLineDialog::Focus(QLineEdit* field) {
  field->setFocus();
  field->selectAll();
}

void BillLineDialog::Refuse(const std::string& message, const std::string& field) {
  ShowMessage(this, Text(message));
  QLineEdit* edit = field == "quantity" ? ui_->quantityEdit
                    : field == "price"  ? ui_->priceEdit
                    : field == "amount" ? ui_->amountEdit
                                        : ui_->barcodeEdit;
  if (edit->isEnabled()) Focus(edit);
}

bool BillLineDialog::LoadLine() {
  const std::string barcode = ui_->barcodeEdit->text().trimmed().toStdString();
  if (barcode.empty()) {
    Refuse("条码不能为空", "barcode");
    return false;
  }
  try {
    std::optional<backoffice::BillLine> line = backoffice::LoadBillLine(kind_, barcode);
    if (!line) {
      SaleDialogs questions(this);
      if (!backoffice::EnterBillGoods(barcode, questions)) {
        Focus(ui_->barcodeEdit);
        return false;
      }
      line = backoffice::LoadBillLine(kind_, barcode);
      if (!line) return false;
    }
    ui_->nameLabel->setText(Text(line->goodsname));
    ui_->quantityEdit->setText(Text(line->quantity));
    ui_->priceEdit->setText(Text(line->price));
    ui_->amountEdit->setText(Text(line->amount));
    changed_ = backoffice::LineChange::kNone;
    return true;
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
    return false;
  }
}

void BillLineDialog::EnterPrice() {
  try {
    const backoffice::LineStep step = backoffice::EnterLinePrice(Fields());
    ui_->amountEdit->setText(Text(step.fields.amount));
    changed_ = step.fields.changed;
    if (step.focus == LineField::kConfirm) {
      ui_->confirmButton->setFocus();
    } else {
      Focus(step.focus == LineField::kQuantity ? ui_->quantityEdit : ui_->amountEdit);
    }
  } catch (const common::ValidationError& error) {
    Refuse(error.what(), error.field());
  }
}

void BillLineDialog::EnterAmount() {
  try {
    const backoffice::LineStep step = backoffice::EnterLineAmount(Fields());
    ui_->priceEdit->setText(Text(step.fields.price));
    ui_->amountEdit->setText(Text(step.fields.amount));
    changed_ = step.fields.changed;
    ui_->confirmButton->setFocus();
  } catch (const common::ValidationError& error) {
    Refuse(error.what(), error.field());
  }
}

void BillLineDialog::OnPick() {
  std::optional<std::string> barcode = GoodsListDialog::PickGoods(this, workno_);
  if (!barcode) return;
  ui_->barcodeEdit->setText(Text(*barcode));
  if (LoadLine()) Focus(ui_->quantityEdit);
}

void BillLineDialog::OnConfirm() {
  try {
    backoffice::SaveBillLine(kind_, Fields());
  } catch (const common::ValidationError& error) {
    Refuse(error.what(), error.field());
    return;
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
    return;
  }
  emit saved();
  if (modify_mode_) {
    accept();
    return;
  }
  ResetFields();
  ui_->barcodeEdit->setFocus();
}

}  // namespace ui
