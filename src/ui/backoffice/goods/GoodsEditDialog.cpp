#include "ui/backoffice/goods/GoodsEditDialog.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <optional>
#include <vector>

#include "core/backoffice/goods/save_goods.h"
#include "core/common/error.h"
#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
#include "ui/backoffice/goods/CombinedGoodsDialog.h"
#include "ui/common/MessageBox.h"
#include "ui_GoodsEditDialog.h"

namespace ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Text(const QString& text) { return text.toStdString(); }

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The save's notes and questions, shown as they come.
class NoteBoxes : public backoffice::GoodsSaveUi {
 public:
  explicit NoteBoxes(QWidget* parent) : parent_(parent) {}
  void Note(std::string_view text) override { ShowMessage(parent_, FromUtf8(text)); }
  bool AskYesNo(std::string_view question) override {
    return ui::AskYesNo(parent_, FromUtf8(question));
  }

 private:
  QWidget* parent_;
};

// Refills a drop-down with the choices, keeping the text typed in it.
void Refill(QComboBox* combo, const std::vector<std::string>& choices) {
  const QString typed = combo->currentText();
  combo->clear();
  for (const std::string& choice : choices) combo->addItem(Text(choice));
  combo->setCurrentIndex(-1);
  combo->setEditText(typed);
}

}  // namespace

GoodsEditDialog::GoodsEditDialog(QWidget* parent, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::GoodsEditDialog>()), workno_(workno) {
  SetUp();
  try {
    servicelib::CombinedGoodsClear();
  } catch (const store::DbError&) {
    ShowMessage(this, "初始化有误");
  }
  ui_->barcodeEdit->setFocus();
}

GoodsEditDialog::GoodsEditDialog(QWidget* parent, const QString& workno, const QString& barcode)
    : QDialog(parent),
      ui_(std::make_unique<Ui::GoodsEditDialog>()),
      workno_(workno),
      modify_mode_(true) {
  SetUp();
  try {
    if (auto fields = backoffice::LoadGoodsForEdit(Text(barcode))) ShowFields(*fields);
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
  }
  shown_barcode_ = Text(barcode);
  ui_->barcodeEdit->setText(barcode);
  ui_->barcodeEdit->setEnabled(false);
  ui_->openingStockEdit->setEnabled(false);
  ui_->nameEdit->setFocus();
}

GoodsEditDialog::~GoodsEditDialog() = default;

void GoodsEditDialog::SetUp() {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui_->scaleCombo->setCurrentText(backoffice::kNo);
  ui_->combinedCombo->setCurrentText(backoffice::kNo);
  ui_->pluEdit->setText("0");
  ui_->openingStockEdit->setText("0");
  ui_->itemLibraryCheck->setChecked(backoffice::ItemLibraryEnabled());
  LoadChoices();

  for (QWidget* control : std::initializer_list<QWidget*>{
           ui_->barcodeEdit, ui_->nameEdit, ui_->unitCombo, ui_->classCombo, ui_->scaleCombo,
           ui_->pluEdit, ui_->salesPriceEdit, ui_->memberPriceEdit, ui_->importPriceEdit,
           ui_->openingStockEdit, ui_->pointsCheck, ui_->combinedCombo, ui_->itemLibraryCheck,
           ui_->confirmButton}) {
    control->installEventFilter(this);
  }
  // Key presses of an editable drop-down reach its line edit.
  for (QComboBox* combo : {ui_->unitCombo, ui_->classCombo, ui_->scaleCombo}) {
    combo->lineEdit()->installEventFilter(this);
  }
  // Only what the user types or picks in the scale field suggests a PLU, not a loaded goods.
  connect(ui_->scaleCombo, &QComboBox::textActivated, this, &GoodsEditDialog::SuggestPlu);
  connect(ui_->scaleCombo->lineEdit(), &QLineEdit::textEdited, this, &GoodsEditDialog::SuggestPlu);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &GoodsEditDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &GoodsEditDialog::reject);
  connect(ui_->componentsButton, &QPushButton::clicked, this, &GoodsEditDialog::OnComponents);
}

void GoodsEditDialog::LoadChoices() {
  try {
    Refill(ui_->unitCombo, backoffice::LoadUnitChoices());
    Refill(ui_->classCombo, backoffice::LoadClassChoices());
  } catch (const store::DbError&) {
    ShowMessage(this, "初始化有误");
  }
}

void GoodsEditDialog::ShowFields(const backoffice::GoodsFields& fields) {
  ui_->barcodeEdit->setText(Text(fields.barcode));
  ui_->nameEdit->setText(Text(fields.goodsname));
  ui_->unitCombo->setEditText(Text(fields.unit));
  ui_->classCombo->setEditText(Text(fields.class_name));
  ui_->scaleCombo->setEditText(Text(fields.isscalegoods));
  ui_->pluEdit->setText(Text(fields.pluno));
  ui_->salesPriceEdit->setText(Text(fields.salesprice));
  ui_->memberPriceEdit->setText(Text(fields.memberprice));
  ui_->importPriceEdit->setText(Text(fields.importprice));
  ui_->openingStockEdit->setText(Text(fields.iniinventory));
  ui_->pointsCheck->setChecked(fields.givepoints);
  ui_->combinedCombo->setCurrentText(Text(fields.iscombined));
}

backoffice::GoodsFields GoodsEditDialog::ReadFields() const {
  backoffice::GoodsFields fields;
  fields.barcode = Text(ui_->barcodeEdit->text());
  fields.goodsname = Text(ui_->nameEdit->text());
  fields.unit = Text(ui_->unitCombo->currentText());
  fields.class_name = Text(ui_->classCombo->currentText());
  fields.isscalegoods = Text(ui_->scaleCombo->currentText());
  fields.pluno = Text(ui_->pluEdit->text());
  fields.salesprice = Text(ui_->salesPriceEdit->text());
  fields.memberprice = Text(ui_->memberPriceEdit->text());
  fields.importprice = Text(ui_->importPriceEdit->text());
  fields.iniinventory = Text(ui_->openingStockEdit->text());
  fields.givepoints = ui_->pointsCheck->isChecked();
  fields.iscombined = Text(ui_->combinedCombo->currentText());
  return fields;
}

bool GoodsEditDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched == ui_->pluEdit) {
    // A scale goods that has its PLU keeps it; only a missing one is suggested.
    const QString plu = ui_->pluEdit->text().trimmed();
    if (ui_->scaleCombo->currentText() != backoffice::kYes || plu.isEmpty() || plu.toInt() <= 0) {
      SuggestPlu();
    }
  }
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);

  if (watched == ui_->confirmButton) {
    if (AskYesNo(this, "保存?")) OnConfirm();
  } else if (watched == ui_->barcodeEdit) {
    OnBarcodeEntered();
  } else if (watched == ui_->nameEdit) {
    ui_->unitCombo->setFocus();
  } else if (watched == ui_->salesPriceEdit) {
    ui_->memberPriceEdit->setText(ui_->salesPriceEdit->text());
    ui_->memberPriceEdit->setFocus();
  } else if (watched == ui_->memberPriceEdit) {
    ui_->importPriceEdit->setFocus();
  } else if (watched == ui_->importPriceEdit) {
    if (ui_->openingStockEdit->isEnabled()) {
      ui_->openingStockEdit->setFocus();
    } else {
      ui_->confirmButton->setFocus();
    }
  } else if (watched == ui_->openingStockEdit) {
    ui_->confirmButton->setFocus();
  } else {
    focusNextChild();
  }
  return true;
}

void GoodsEditDialog::OnBarcodeEntered() {
  const std::string barcode = Text(ui_->barcodeEdit->text().trimmed());
  shown_barcode_.clear();
  if (backoffice::GoodsBarcodeExists(barcode)) {
    ShowMessage(this, "有相同条码,请修改相同条码商品");
    try {
      if (auto fields = backoffice::LoadGoodsForEdit(barcode)) {
        ShowFields(*fields);
        shown_barcode_ = barcode;
      }
    } catch (const store::DbError&) {
      ShowMessage(this, "商品有误");
    }
  } else if (ui_->itemLibraryCheck->isChecked()) {
    if (auto entry = backoffice::LookUpItemLibrary(barcode)) {
      ui_->nameEdit->setText(Text(entry->goodsname));
      ui_->unitCombo->setEditText(Text(entry->unit));
    }
  }
  ui_->nameEdit->setFocus();
}

void GoodsEditDialog::SuggestPlu() {
  ui_->pluEdit->setText(ui_->scaleCombo->currentText() == backoffice::kYes
                            ? Text(backoffice::SuggestPluNumber())
                            : QString("0"));
}

void GoodsEditDialog::OnConfirm() {
  NoteBoxes notes(this);
  try {
    const backoffice::GoodsSaved saved = backoffice::SaveGoods(
        ReadFields(), shown_barcode_, ui_->itemLibraryCheck->isChecked(), notes);
    if (!saved.written) {  // the stored goods is kept; the typed fields stay for another barcode
      ui_->barcodeEdit->setFocus();
      return;
    }
  } catch (const common::ValidationError& error) {
    ShowMessage(this, QString::fromUtf8(error.what()));
    if (error.field() == backoffice::kComponentsField) {
      OpenComponents();
    } else {
      FocusField(error.field());
    }
    return;
  } catch (const common::UserError& error) {
    ShowMessage(this, QString::fromUtf8(error.what()));
    return;
  }
  emit goodsSaved();
  if (modify_mode_) {
    accept();
    return;
  }
  for (QLineEdit* field :
       {ui_->barcodeEdit, ui_->nameEdit, ui_->salesPriceEdit, ui_->importPriceEdit}) {
    field->clear();
  }
  shown_barcode_.clear();
  LoadChoices();
  ui_->barcodeEdit->setFocus();
}

void GoodsEditDialog::OnComponents() {
  if (ui_->combinedCombo->currentText() != backoffice::kYes) {
    ShowMessage(this, "组合商品才能添加组成");
    return;
  }
  if (ui_->barcodeEdit->text().trimmed().isEmpty()) {
    ShowMessage(this, "请先录入商品条码");
    ui_->barcodeEdit->setFocus();
    return;
  }
  OpenComponents();
}

void GoodsEditDialog::OpenComponents() {
  CombinedGoodsDialog components(this, workno_, ui_->barcodeEdit->text().trimmed());
  components.exec();
}

void GoodsEditDialog::FocusField(const std::string& field) {
  QWidget* target = field == "pluno"          ? static_cast<QWidget*>(ui_->pluEdit)
                    : field == "barcode"      ? static_cast<QWidget*>(ui_->barcodeEdit)
                    : field == "goodsname"    ? static_cast<QWidget*>(ui_->nameEdit)
                    : field == "iscombined"   ? static_cast<QWidget*>(ui_->combinedCombo)
                    : field == "isscalegoods" ? static_cast<QWidget*>(ui_->scaleCombo)
                    : field == "iniinventory" ? static_cast<QWidget*>(ui_->openingStockEdit)
                    : field == "salesprice"   ? static_cast<QWidget*>(ui_->salesPriceEdit)
                    : field == "memberprice"  ? static_cast<QWidget*>(ui_->memberPriceEdit)
                                              : static_cast<QWidget*>(ui_->importPriceEdit);
  if (target->isEnabled()) target->setFocus();
}

}  // namespace ui
