#include "ui/backoffice/goods/BillListDialog.h"

#include <QHeaderView>

#include "core/common/error.h"
#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
#include "ui/backoffice/goods/BillLineDialog.h"
#include "ui/backoffice/goods/StockFileTransfer.h"
#include "ui/backoffice/goods/StockModels.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/SearchDialog.h"
#include "ui_BillListDialog.h"

namespace ui {

using backoffice::BillKind;

BillListDialog::BillListDialog(QWidget* parent, BillKind kind, const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::BillListDialog>()),
      kind_(kind),
      model_(new BillListModel(this, kind)),
      workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(QString::fromUtf8(backoffice::BillKindName(kind)));
  ui_->importButton->setVisible(kind == BillKind::kPurchase);
  ui_->billTable->setModel(model_);
  ui_->billTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  model_->ApplyWidths(ui_->billTable);
  ListColumns::FitAndRemember(ui_->billTable, windowTitle());

  connect(ui_->addButton, &QPushButton::clicked, this, &BillListDialog::OnAdd);
  connect(ui_->modifyButton, &QPushButton::clicked, this, &BillListDialog::OnModify);
  connect(ui_->deleteButton, &QPushButton::clicked, this, &BillListDialog::OnDelete);
  connect(ui_->verifyButton, &QPushButton::clicked, this, &BillListDialog::OnVerify);
  connect(ui_->importButton, &QPushButton::clicked, this, &BillListDialog::OnImport);
  connect(ui_->searchButton, &QPushButton::clicked, this, &BillListDialog::OnSearch);
  connect(ui_->exitButton, &QPushButton::clicked, this, &BillListDialog::reject);
  Reload();
}

BillListDialog::~BillListDialog() = default;

void BillListDialog::Reload() {
  std::vector<backoffice::BillRow> rows;
  try {
    rows = backoffice::LoadBill(kind_);
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
  }
  model_->SetRows(std::move(rows));
  if (model_->rowCount() > 0) ui_->billTable->selectRow(0);
}

std::string BillListDialog::SelectedBarcode() const {
  const QModelIndexList rows = ui_->billTable->selectionModel()->selectedRows();
  if (rows.isEmpty()) return {};
  return model_->Row(rows.front().row()).barcode;
}

bool BillListDialog::Verify() {
  try {
    backoffice::VerifyBill(kind_);
    return true;
  } catch (const common::UserError& error) {
    ShowMessage(this, QString::fromStdString(error.what()));
  } catch (const store::DbError&) {
    ShowMessage(this, "删除有误");
  }
  Reload();
  return false;
}

void BillListDialog::reject() {
  if (servicelib::IfUnConfirmedData(backoffice::BillKindName(kind_)) &&
      AskYesNo(this, "有未验收的数据,是否验收?") && !Verify()) {
    return;
  }
  QDialog::reject();
}

void BillListDialog::OnAdd() {
  BillLineDialog entry(this, kind_, workno_);
  connect(&entry, &BillLineDialog::saved, this, &BillListDialog::Reload);
  entry.exec();
}

void BillListDialog::OnModify() {
  const std::string barcode = SelectedBarcode();
  if (barcode.empty()) {
    ShowMessage(this, "请选择要修改的数据");
    return;
  }
  BillLineDialog entry(this, kind_, workno_, QString::fromStdString(barcode));
  connect(&entry, &BillLineDialog::saved, this, &BillListDialog::Reload);
  entry.exec();
}

void BillListDialog::OnDelete() {
  const std::string barcode = SelectedBarcode();
  if (barcode.empty()) {
    ShowMessage(this, "请选择要删除的商品");
    return;
  }
  if (!AskYesNo(this, "真的要删除此商品吗?")) return;
  try {
    backoffice::DeleteBillLine(kind_, barcode);
  } catch (const store::DbError&) {
    ShowMessage(this, "删除有误");
  }
  Reload();
}

void BillListDialog::OnVerify() {
  // Verifying cannot be undone: the user sees what is about to be booked first.
  QString question;
  try {
    question = QString::fromStdString(backoffice::VerifyBillQuestion(kind_));
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
    return;
  }
  if (!AskYesNo(this, question)) return;
  if (Verify()) accept();
}

void BillListDialog::OnImport() {
  ImportPurchaseBill(this);
  Reload();
}

void BillListDialog::OnSearch() {
  SearchDialog::Open(ui_->billTable, *model_,
                     {{"条码", StockTableModel::kBarcode}, {"名称", StockTableModel::kName}});
}

}  // namespace ui
