#include "ui/labels/RangeSelectDialog.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStringList>
#include <QTreeWidgetItem>
#include <algorithm>
#include <functional>
#include <utility>

#include "core/common/error.h"
#include "core/labels/print_queue.h"
#include "core/store/database.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui/labels/LabelCountDialog.h"
#include "ui_RangeSelectDialog.h"

namespace ui {

// A read-only table over rows fetched from core; a model, so every goods item of a big shop
// lists at once.
template <typename Row>
class RowsModel : public QAbstractTableModel {
 public:
  using Cell = std::function<QString(const Row&, int column)>;
  RowsModel(QStringList headers, Cell cell, QObject* parent)
      : QAbstractTableModel(parent), headers_(std::move(headers)), cell_(std::move(cell)) {}

  void SetRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
  }
  const std::vector<Row>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
  }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount() ||
        index.column() >= columnCount()) {
      return {};
    }
    return cell_(rows_[static_cast<size_t>(index.row())], index.column());
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headers_.size()) {
      return headers_.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
  }

 private:
  QStringList headers_;
  Cell cell_;
  std::vector<Row> rows_;
};

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString GoodsCell(const labels::GoodsRow& row, int column) {
  switch (column) {
    case 0:
      return Text(row.barcode);
    case 1:
      return Text(row.goodsname);
    case 2:
      return Text(row.unit);
    default:
      return Text(row.goodsclass);
  }
}

QString BatchCell(const labels::BatchLine& line, int column) {
  switch (column) {
    case 0:
      return Text(line.barcode);
    case 1:
      return Text(line.goodsname);
    case 2:
      return Text(line.unit);
    case 3:
      return Text(line.goodsclass);
    case 4:
      return QString::number(line.quantity);
    default:
      return FormatMoney(line.salesprice);
  }
}

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
      goods_model_(
          new RowsModel<labels::GoodsRow>({"条码", "名称", "单位", "类别"}, GoodsCell, this)),
      batch_model_(new RowsModel<labels::BatchLine>(
          {"条码", "名称", "单位", "类别", "打印张数", "售价"}, BatchCell, this)) {
  ui_->setupUi(this);
  ui_->goodsTable->setModel(goods_model_);
  ListColumns::FitAndRemember(ui_->goodsTable, "标签商品选择");
  ui_->batchTable->setModel(batch_model_);
  for (QTableView* table : {ui_->goodsTable, ui_->batchTable}) {
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(0, 130);
    table->setColumnWidth(1, 200);
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
    barcodes.push_back(goods_model_->rows()[static_cast<size_t>(row)].barcode);
  }
  try {
    store::Database db;
    labels::AddToBatch(db, barcodes);
  } catch (const kasso::UserError& error) {
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
  const labels::BatchLine& line = batch_model_->rows()[static_cast<size_t>(rows.front())];
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
    labels::RemoveFromBatch(db, batch_model_->rows()[static_cast<size_t>(rows.front())].barcode);
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,商品没有删除");
  }
  RefreshSelection();
}

}  // namespace ui
