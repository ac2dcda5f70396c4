#include "ui/labels/RangeSelectDialog.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStringList>
#include <QTreeWidgetItem>
#include <algorithm>
#include <array>
#include <utility>

#include "core/common/error.h"
#include "core/labels/print_queue.h"
#include "core/store/database.h"
#include "ui/common/ColumnTableModel.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui/labels/LabelCountDialog.h"
#include "ui_RangeSelectDialog.h"

namespace ui {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

using labels::BatchLine;
using labels::GoodsRow;

// Read-only tables over rows fetched from core; models, so every goods item of a big shop lists
// at once. The barcode and name columns are wider; the others keep the view's width.
constexpr std::array<ListColumn<GoodsRow>, 4> kGoodsColumns = {{
    {"条码", 130, kViewAligned, [](const GoodsRow& r) { return Text(r.barcode); }},
    {"名称", 200, kViewAligned, [](const GoodsRow& r) { return Text(r.goodsname); }},
    {"单位", kViewWidth, kViewAligned, [](const GoodsRow& r) { return Text(r.unit); }},
    {"类别", kViewWidth, kViewAligned, [](const GoodsRow& r) { return Text(r.goodsclass); }},
}};

constexpr std::array<ListColumn<BatchLine>, 6> kBatchColumns = {{
    {"条码", 130, kViewAligned, [](const BatchLine& l) { return Text(l.barcode); }},
    {"名称", 200, kViewAligned, [](const BatchLine& l) { return Text(l.goodsname); }},
    {"单位", kViewWidth, kViewAligned, [](const BatchLine& l) { return Text(l.unit); }},
    {"类别", kViewWidth, kViewAligned, [](const BatchLine& l) { return Text(l.goodsclass); }},
    {"打印张数", kViewWidth, kViewAligned,
     [](const BatchLine& l) { return QString::number(l.quantity); }},
    {"售价", kViewWidth, kViewAligned,
     [](const BatchLine& l) { return FormatMoney(l.salesprice); }},
}};

// The chosen rows of a view, top to bottom.
QList<int> ChosenRows(const QAbstractItemView& view) {
  QList<int> rows;
  for (const QModelIndex& index : view.selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

RangeSelectDialog::RangeSelectDialog(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::RangeSelectDialog>()),
      goods_model_(new RowTableModel<GoodsRow>(this, kGoodsColumns)),
      batch_model_(new RowTableModel<BatchLine>(this, kBatchColumns)) {
  ui_->setupUi(this);
  ui_->goodsTable->setModel(goods_model_);
  ui_->batchTable->setModel(batch_model_);
  goods_model_->ApplyWidths(ui_->goodsTable);
  batch_model_->ApplyWidths(ui_->batchTable);
  ListColumns::FitAndRemember(ui_->goodsTable, "标签商品选择");
  for (QTableView* table : {ui_->goodsTable, ui_->batchTable}) {
    table->horizontalHeader()->setStretchLastSection(true);
  }

  auto* all = new QTreeWidgetItem(ui_->classTree, {labels::kAllClasses});
  try {
    store::Database db;
    for (const std::string& name : labels::ListGoodsClasses(db)) {
      new QTreeWidgetItem(all, {Text(name)});
    }
  } catch (const store::DbError&) {
    // An unreadable database shows "全部" alone; the lists below say nothing either.
  }
  ui_->classTree->expandAll();

  connect(ui_->classTree, &QTreeWidget::itemSelectionChanged, this,
          &RangeSelectDialog::OnClassChosen);
  connect(ui_->selectButton, &QPushButton::clicked, this, &RangeSelectDialog::OnSelect);
  connect(ui_->editButton, &QPushButton::clicked, this, &RangeSelectDialog::OnEdit);
  connect(ui_->deleteButton, &QPushButton::clicked, this, &RangeSelectDialog::OnDelete);
  connect(ui_->exitButton, &QPushButton::clicked, this, &RangeSelectDialog::accept);
  ui_->classTree->setCurrentItem(all);
  RefreshSelection();
}

RangeSelectDialog::~RangeSelectDialog() = default;

void RangeSelectDialog::ShowClass(const std::string& classname) {
  try {
    store::Database db;
    goods_model_->SetRows(labels::ListGoodsOfClass(db, classname));
  } catch (const store::DbError&) {
    goods_model_->SetRows({});
  }
}

void RangeSelectDialog::RefreshSelection() {
  try {
    store::Database db;
    batch_model_->SetRows(labels::ListBatch(db));
  } catch (const store::DbError&) {
    batch_model_->SetRows({});
  }
}

void RangeSelectDialog::OnClassChosen() {
  QTreeWidgetItem* item = ui_->classTree->currentItem();
  if (item) ShowClass(item->text(0).toStdString());
}

void RangeSelectDialog::OnSelect() {
  std::vector<std::string> barcodes;
  for (int row : ChosenRows(*ui_->goodsTable)) {
    barcodes.push_back(goods_model_->Rows()[static_cast<size_t>(row)].barcode);
  }
  try {
    store::Database db;
    labels::AddToBatch(db, barcodes);
  } catch (const common::UserError& error) {
    ui::ShowMessage(this, Text(error.what()));
    return;
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,商品没有选中");
    return;
  }
  RefreshSelection();
}

void RangeSelectDialog::OnEdit() {
  const QList<int> rows = ChosenRows(*ui_->batchTable);
  if (rows.isEmpty()) {
    ui::ShowMessage(this, "请选择要编辑的商品");
    return;
  }
  const labels::BatchLine& line = batch_model_->Rows()[static_cast<size_t>(rows.front())];
  LabelCountDialog count(this, line.quantity);
  if (count.exec() != QDialog::Accepted) return;
  try {
    store::Database db;
    labels::SetBatchQuantity(db, line.barcode, count.count());
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,数量没有保存");
  }
  RefreshSelection();
}

void RangeSelectDialog::OnDelete() {
  const QList<int> rows = ChosenRows(*ui_->batchTable);
  if (rows.isEmpty()) {
    ui::ShowMessage(this, "请选择要删除的商品");
    return;
  }
  try {
    store::Database db;
    labels::RemoveFromBatch(db, batch_model_->Rows()[static_cast<size_t>(rows.front())].barcode);
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,商品没有删除");
  }
  RefreshSelection();
}

}  // namespace ui
