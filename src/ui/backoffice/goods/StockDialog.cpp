#include "ui/backoffice/goods/StockDialog.h"

#include <QHeaderView>
#include <vector>

#include "core/backoffice/goods/goods_master.h"
#include "core/backoffice/goods/stock_list.h"
#include "core/backoffice/goods/stocktake.h"
#include "core/common/error.h"
#include "core/serversync/shared_data.h"
#include "core/store/database.h"
#include "core/store/outbox.h"
#include "ui/backoffice/goods/BillListDialog.h"
#include "ui/backoffice/goods/ClassTree.h"
#include "ui/backoffice/goods/StockModels.h"
#include "ui/backoffice/goods/StocktakeDialog.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/SearchDialog.h"
#include "ui_StockDialog.h"

namespace ui {

StockDialog::StockDialog(QWidget* parent, const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::StockDialog>()),
      model_(new StockListModel(this)),
      workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setWindowState(windowState() | Qt::WindowMaximized);
  ui_->stockTable->setModel(model_);
  ui_->stockTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  model_->ApplyWidths(ui_->stockTable);
  ListColumns::FitAndRemember(ui_->stockTable, "库存");
  ui_->listSplitter->setStretchFactor(1, 1);
  ui_->listSplitter->setSizes({160, 840});

  connect(ui_->classTree, &QTreeWidget::itemSelectionChanged, this, &StockDialog::LoadRows);
  connect(ui_->purchaseButton, &QPushButton::clicked, this,
          [this] { OpenBill(backoffice::BillKind::kPurchase); });
  connect(ui_->returnButton, &QPushButton::clicked, this,
          [this] { OpenBill(backoffice::BillKind::kReturn); });
  connect(ui_->stocktakeButton, &QPushButton::clicked, this, &StockDialog::OnStocktake);
  connect(ui_->searchButton, &QPushButton::clicked, this, &StockDialog::OnSearch);
  connect(ui_->exitButton, &QPushButton::clicked, this, &StockDialog::reject);
  Reload();
}

StockDialog::~StockDialog() = default;

void StockDialog::Reload() {
  FillClassTree(this, ui_->classTree, SelectedClass(ui_->classTree));
  LoadRows();
}

void StockDialog::LoadRows() {
  backoffice::StockList list;
  try {
    list = backoffice::LoadStockList(SelectedClass(ui_->classTree));
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
  }
  model_->SetList(std::move(list));
  ui_->stockTable->selectRow(0);
  ShowAsOf();
}

void StockDialog::ShowAsOf() {
  // A joined till shows the shop's stock, as its last pull from the server left it.
  QString text;
  try {
    store::Database db;
    if (store::IsJoined(db)) {
      const std::string when = serversync::LastPulled(db);
      text = when.empty() ? QString("全店库存, 尚未从总部取得")
                          : QString("全店库存, 截至 %1").arg(QString::fromStdString(when));
    }
  } catch (const std::exception&) {
  }
  ui_->asOfLabel->setText(text);
  ui_->asOfLabel->setVisible(!text.isEmpty());
}

void StockDialog::OpenBill(backoffice::BillKind kind) {
  BillListDialog bill(this, kind, workno_);
  bill.exec();
  LoadRows();
}

void StockDialog::OnStocktake() {
  // The count starts here, so that a refusal (a bill waiting) keeps the stocktake screen shut.
  try {
    backoffice::GenerateStocktake();
  } catch (const common::UserError& refusal) {
    ShowMessage(this, ErrorText(refusal));
    return;
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
    return;
  }
  StocktakeDialog stocktake(this, workno_);
  stocktake.exec();
  LoadRows();
}

void StockDialog::OnSearch() {
  SearchDialog::Open(ui_->stockTable, *model_,
                     {{"条码", StockTableModel::kBarcode}, {"名称", StockTableModel::kName}});
}

}  // namespace ui
