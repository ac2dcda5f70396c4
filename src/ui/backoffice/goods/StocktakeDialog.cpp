#include "ui/backoffice/goods/StocktakeDialog.h"

#include <QHeaderView>

#include "core/backoffice/goods/stocktake.h"
#include "core/common/error.h"
#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
#include "ui/backoffice/goods/StockFileTransfer.h"
#include "ui/backoffice/goods/StockModels.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/SearchDialog.h"
#include "ui_StocktakeDialog.h"

namespace ui {

StocktakeDialog::StocktakeDialog(QWidget* parent, const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::StocktakeDialog>()),
      model_(new StocktakeModel(this)),
      workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setWindowState(windowState() | Qt::WindowMaximized);
  ui_->stocktakeTable->setModel(model_);
  ui_->stocktakeTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  model_->ApplyWidths(ui_->stocktakeTable);
  ListColumns::FitAndRemember(ui_->stocktakeTable, "盘点");

  connect(ui_->countButton, &QPushButton::clicked, this, &StocktakeDialog::OnCount);
  connect(ui_->modifyButton, &QPushButton::clicked, this, &StocktakeDialog::OnModify);
  connect(ui_->verifyButton, &QPushButton::clicked, this, &StocktakeDialog::OnVerify);
  connect(ui_->importButton, &QPushButton::clicked, this, &StocktakeDialog::OnImport);
  connect(ui_->exportButton, &QPushButton::clicked, this, &StocktakeDialog::OnExport);
  connect(ui_->regenerateButton, &QPushButton::clicked, this, &StocktakeDialog::OnRegenerate);
  connect(ui_->searchButton, &QPushButton::clicked, this, &StocktakeDialog::OnSearch);
  connect(ui_->exitButton, &QPushButton::clicked, this, &StocktakeDialog::reject);

  Reload();
}

StocktakeDialog::~StocktakeDialog() = default;

void StocktakeDialog::Reload() {
  std::vector<backoffice::StocktakeRow> rows;
  try {
    rows = backoffice::LoadStocktake();
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
  }
  model_->SetRows(std::move(rows));
  if (model_->rowCount() > 0) ui_->stocktakeTable->selectRow(0);
}

void StocktakeDialog::ShowCounted() {
  try {
    if (auto row = backoffice::LoadStocktakeRow(kind_.lastSaved())) model_->UpdateRow(*row);
  } catch (const store::DbError&) {
    Reload();
  }
}

bool StocktakeDialog::Verify() {
  try {
    backoffice::VerifyStocktake();
    return true;
  } catch (const store::DbError&) {
    ShowMessage(this, "删除有误");
  }
  Reload();
  return false;
}

void StocktakeDialog::reject() {
  // No is the default: an Enter on the way out must not book a stocktake nobody counted.
  if (servicelib::IfUnConfirmedData("盘点") &&
      AskYesNoDefaultNo(this, "有未验收的数据,是否验收?") && !Verify()) {
    return;
  }
  QDialog::reject();
}

void StocktakeDialog::OnCount() {
  GoodsQuantityDialog entry(this, kind_, workno_);
  connect(&entry, &GoodsQuantityDialog::saved, this, &StocktakeDialog::ShowCounted);
  entry.exec();
}

void StocktakeDialog::OnModify() {
  const QModelIndexList rows = ui_->stocktakeTable->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    ShowMessage(this, "请选择要修改的商品");
    return;
  }
  const std::string& barcode = model_->Row(rows.front().row()).barcode;
  GoodsQuantityDialog entry(this, kind_, workno_, QString::fromStdString(barcode));
  connect(&entry, &GoodsQuantityDialog::saved, this, &StocktakeDialog::ShowCounted);
  entry.exec();
}

void StocktakeDialog::OnVerify() {
  if (Verify()) accept();
}

void StocktakeDialog::OnImport() {
  if (ImportCounts(this)) Reload();
}

void StocktakeDialog::OnExport() { ExportStocktake(this); }

void StocktakeDialog::OnRegenerate() {
  try {
    backoffice::RegenerateStocktake();
  } catch (const common::UserError& error) {
    ShowMessage(this, QString::fromStdString(error.what()));
    return;
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
    return;
  }
  Reload();
}

void StocktakeDialog::OnSearch() {
  SearchDialog::Open(ui_->stocktakeTable, *model_,
                     {{"条码", StockTableModel::kBarcode}, {"名称", StockTableModel::kName}});
}

}  // namespace ui
