#include "ui/backoffice/goods/StockModels.h"

#include <QTableView>

#include "ui/common/Numbers.h"

namespace ui {
namespace {

int Count(const QModelIndex& parent, size_t rows) {
  return parent.isValid() ? 0 : static_cast<int>(rows);
}

}  // namespace

StockTableModel::StockTableModel(QObject* parent, std::vector<ListColumn> columns)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void StockTableModel::ApplyWidths(QTableView* view) const {
  for (size_t column = 0; column < columns_.size(); ++column) {
    view->setColumnWidth(static_cast<int>(column), columns_[column].width);
  }
}

int StockTableModel::columnCount(const QModelIndex& parent) const {
  return Count(parent, columns_.size());
}

QVariant StockTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  if (role == Qt::DisplayRole) return Cell(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) {
    const bool right = columns_[static_cast<size_t>(index.column())].right;
    return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignHCenter));
  }
  return {};
}

QVariant StockTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString::fromUtf8(columns_[static_cast<size_t>(section)].heading);
}

StockListModel::StockListModel(QObject* parent)
    : StockTableModel(parent, {{"条码", 150, false},
                               {"名称", 200, false},
                               {"单位", 100, false},
                               {"类别", 100, false},
                               {"当前库存", 100, true},
                               {"当前成本", 100, true}}) {}

void StockListModel::SetList(backoffice::StockList list) {
  beginResetModel();
  list_ = std::move(list);
  endResetModel();
}

int StockListModel::rowCount(const QModelIndex& parent) const {
  return Count(parent, list_.rows.size() + 1);
}

QString StockListModel::Cell(int row, int column) const {
  if (static_cast<size_t>(row) == list_.rows.size()) {
    if (column == 0) return QStringLiteral("总计");
    if (column == 4) return FormatMoney(list_.total_quantity);
    if (column == 5) return FormatMoney(list_.total_cost);
    return {};
  }
  const backoffice::StockRow& r = list_.rows[static_cast<size_t>(row)];
  switch (column) {
    case 0:
      return Utf8(r.barcode);
    case 1:
      return Utf8(r.goodsname);
    case 2:
      return Utf8(r.unit);
    case 3:
      return Utf8(r.class_name);
    case 4:
      return FormatMoney(r.quantity);
    default:
      return FormatMoney(r.cost);
  }
}

std::string_view StockListModel::SearchText(int row, int column) const {
  if (static_cast<size_t>(row) >= list_.rows.size()) return {};
  const backoffice::StockRow& r = list_.rows[static_cast<size_t>(row)];
  return column == kBarcode ? r.barcode : column == kName ? r.goodsname : std::string_view();
}

BillListModel::BillListModel(QObject* parent, backoffice::BillKind kind)
    : StockTableModel(parent, kind == backoffice::BillKind::kPurchase
                                  ? std::vector<ListColumn>{{"条码", 100, false},
                                                            {"名称", 200, false},
                                                            {"单位", 100, false},
                                                            {"进货数量", 100, true},
                                                            {"进货价格", 100, true},
                                                            {"进货金额", 100, true}}
                                  : std::vector<ListColumn>{{"条码", 100, false},
                                                            {"名称", 200, false},
                                                            {"单位", 100, false},
                                                            {"返厂数量", 100, true},
                                                            {"返厂价格", 100, true},
                                                            {"返厂金额", 100, true}}) {}

void BillListModel::SetRows(std::vector<backoffice::BillRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int BillListModel::rowCount(const QModelIndex& parent) const { return Count(parent, rows_.size()); }

QString BillListModel::Cell(int row, int column) const {
  const backoffice::BillRow& r = rows_[static_cast<size_t>(row)];
  switch (column) {
    case 0:
      return Utf8(r.barcode);
    case 1:
      return Utf8(r.goodsname);
    case 2:
      return Utf8(r.unit);
    case 3:
      return FormatMoney(r.quantity);
    case 4:
      return FormatMoney(r.price);
    default:
      return FormatMoney(r.amount);
  }
}

std::string_view BillListModel::SearchText(int row, int column) const {
  const backoffice::BillRow& r = rows_[static_cast<size_t>(row)];
  return column == kBarcode ? r.barcode : column == kName ? r.goodsname : std::string_view();
}

StocktakeModel::StocktakeModel(QObject* parent)
    : StockTableModel(parent, {{"条码", 100, false},
                               {"名称", 200, false},
                               {"单位", 100, false},
                               {"结存数量", 100, true},
                               {"盘存数量", 100, true},
                               {"盈亏数量", 100, true}}) {}

void StocktakeModel::SetRows(std::vector<backoffice::StocktakeRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  by_barcode_.clear();
  by_barcode_.reserve(rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) by_barcode_.emplace(rows_[i].barcode, i);
  endResetModel();
}

void StocktakeModel::UpdateRow(const backoffice::StocktakeRow& row) {
  auto found = by_barcode_.find(row.barcode);
  if (found == by_barcode_.end()) return;
  rows_[found->second] = row;
  const int at = static_cast<int>(found->second);
  emit dataChanged(index(at, 0), index(at, columnCount() - 1));
}

int StocktakeModel::rowCount(const QModelIndex& parent) const {
  return Count(parent, rows_.size());
}

QString StocktakeModel::Cell(int row, int column) const {
  const backoffice::StocktakeRow& r = rows_[static_cast<size_t>(row)];
  switch (column) {
    case 0:
      return Utf8(r.barcode);
    case 1:
      return Utf8(r.goodsname);
    case 2:
      return Utf8(r.unit);
    case 3:
      return FormatMoney(r.book);
    case 4:
      return FormatMoney(r.counted);
    default:
      return FormatMoney(r.difference);
  }
}

std::string_view StocktakeModel::SearchText(int row, int column) const {
  const backoffice::StocktakeRow& r = rows_[static_cast<size_t>(row)];
  return column == kBarcode ? r.barcode : column == kName ? r.goodsname : std::string_view();
}

}  // namespace ui
