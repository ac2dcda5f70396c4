#include "ui/backoffice/goods/StockModels.h"

#include <array>

#include "ui/common/Numbers.h"

namespace ui {
namespace {

using backoffice::BillRow;
using backoffice::StockRow;
using backoffice::StocktakeRow;

constexpr std::array<ListColumn<StockRow>, 6> kStockColumns = {{
    {"条码", 150, kCentred, [](const StockRow& r) { return Utf8(r.barcode); }},
    {"名称", 200, kCentred, [](const StockRow& r) { return Utf8(r.goodsname); }},
    {"单位", 100, kCentred, [](const StockRow& r) { return Utf8(r.unit); }},
    {"类别", 100, kCentred, [](const StockRow& r) { return Utf8(r.class_name); }},
    {"当前库存", 100, kRightAligned, [](const StockRow& r) { return FormatMoney(r.quantity); }},
    {"当前成本", 100, kRightAligned, [](const StockRow& r) { return FormatMoney(r.cost); }},
}};
constexpr int kTotalQuantityColumn = 4;
constexpr int kTotalCostColumn = 5;

// The purchase and the return bill differ only in their headings.
constexpr std::array<ListColumn<BillRow>, 6> BillColumns(const char* quantity, const char* price,
                                                         const char* amount) {
  return {{
      {"条码", 100, kCentred, [](const BillRow& r) { return Utf8(r.barcode); }},
      {"名称", 200, kCentred, [](const BillRow& r) { return Utf8(r.goodsname); }},
      {"单位", 100, kCentred, [](const BillRow& r) { return Utf8(r.unit); }},
      {quantity, 100, kRightAligned, [](const BillRow& r) { return FormatMoney(r.quantity); }},
      {price, 100, kRightAligned, [](const BillRow& r) { return FormatMoney(r.price); }},
      {amount, 100, kRightAligned, [](const BillRow& r) { return FormatMoney(r.amount); }},
  }};
}
constexpr auto kPurchaseColumns = BillColumns("进货数量", "进货价格", "进货金额");
constexpr auto kReturnColumns = BillColumns("返厂数量", "返厂价格", "返厂金额");

constexpr std::array<ListColumn<StocktakeRow>, 6> kStocktakeColumns = {{
    {"条码", 100, kCentred, [](const StocktakeRow& r) { return Utf8(r.barcode); }},
    {"名称", 200, kCentred, [](const StocktakeRow& r) { return Utf8(r.goodsname); }},
    {"单位", 100, kCentred, [](const StocktakeRow& r) { return Utf8(r.unit); }},
    {"结存数量", 100, kRightAligned, [](const StocktakeRow& r) { return FormatMoney(r.book); }},
    {"盘存数量", 100, kRightAligned, [](const StocktakeRow& r) { return FormatMoney(r.counted); }},
    {"盈亏数量", 100, kRightAligned,
     [](const StocktakeRow& r) { return FormatMoney(r.difference); }},
}};

}  // namespace

StockListModel::StockListModel(QObject* parent) : ColumnTableModel(parent, kStockColumns) {}

void StockListModel::SetList(backoffice::StockList list) {
  beginResetModel();
  list_ = std::move(list);
  endResetModel();
}

int StockListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.rows.size() + 1);
}

QString StockListModel::CellText(int row, int column) const {
  if (static_cast<size_t>(row) < list_.rows.size()) {
    return ColumnAt(column).text(list_.rows[static_cast<size_t>(row)]);
  }
  if (column == kBarcode) return QStringLiteral("总计");
  if (column == kTotalQuantityColumn) return FormatMoney(list_.total_quantity);
  if (column == kTotalCostColumn) return FormatMoney(list_.total_cost);
  return {};
}

std::string_view StockListModel::SearchText(int row, int column) const {
  if (static_cast<size_t>(row) >= list_.rows.size()) return {};
  return BarcodeOrName(list_.rows[static_cast<size_t>(row)], column);
}

BillListModel::BillListModel(QObject* parent, backoffice::BillKind kind)
    : RowTableModel(parent,
                    kind == backoffice::BillKind::kPurchase ? kPurchaseColumns : kReturnColumns) {}

StocktakeModel::StocktakeModel(QObject* parent) : RowTableModel(parent, kStocktakeColumns) {}

void StocktakeModel::SetRows(std::vector<StocktakeRow> rows) {
  RowTableModel::SetRows(std::move(rows));
  by_barcode_.clear();
  by_barcode_.reserve(Rows().size());
  for (size_t i = 0; i < Rows().size(); ++i) by_barcode_.emplace(Rows()[i].barcode, i);
}

void StocktakeModel::UpdateRow(const StocktakeRow& row) {
  auto found = by_barcode_.find(row.barcode);
  if (found != by_barcode_.end()) ReplaceRow(found->second, row);
}

}  // namespace ui
