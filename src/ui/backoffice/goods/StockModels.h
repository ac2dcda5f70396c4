#pragma once

// The list models of the stock screens: the stock list with its total row, an open purchase or
// return bill, and the open stocktake. Each holds the rows core fetched and formats a cell
// only when the view asks for it, so 200 000 goods open at once.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stock_list.h"
#include "core/backoffice/goods/stocktake.h"
#include "ui/common/ColumnTableModel.h"
#include "ui/common/SearchDialog.h"

namespace ui {

// What the search prompt looks through in each stock list: the barcode in column 0 and the
// name in column 1.
class StockTableModel : public SearchableList {
 public:
  static constexpr int kBarcode = 0;
  static constexpr int kName = 1;

 protected:
  template <typename Row>
  static std::string_view BarcodeOrName(const Row& row, int column) {
    return column == kBarcode ? row.barcode : column == kName ? row.goodsname : std::string_view();
  }
};

// "条码", "名称", "单位", "类别", "当前库存", "当前成本", then the row "总计".
class StockListModel : public ColumnTableModel<backoffice::StockRow>, public StockTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StockListModel)

 public:
  explicit StockListModel(QObject* parent);
  void SetList(backoffice::StockList list);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int SearchRowCount() const override { return rowCount(); }
  std::string_view SearchText(int row, int column) const override;

 protected:
  QString CellText(int row, int column) const override;

 private:
  backoffice::StockList list_;
};

// The open bill of one kind: barcode, name, unit, quantity, price, amount.
class BillListModel : public RowTableModel<backoffice::BillRow>, public StockTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(BillListModel)

 public:
  BillListModel(QObject* parent, backoffice::BillKind kind);

  int SearchRowCount() const override { return rowCount(); }
  std::string_view SearchText(int row, int column) const override {
    return BarcodeOrName(Row(row), column);
  }
};

// The open stocktake: barcode, name, unit, book, counted, difference.
class StocktakeModel : public RowTableModel<backoffice::StocktakeRow>, public StockTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StocktakeModel)

 public:
  explicit StocktakeModel(QObject* parent);
  void SetRows(std::vector<backoffice::StocktakeRow> rows);
  // Shows a row read again after one count, without reading the whole stocktake.
  void UpdateRow(const backoffice::StocktakeRow& row);

  int SearchRowCount() const override { return rowCount(); }
  std::string_view SearchText(int row, int column) const override {
    return BarcodeOrName(Row(row), column);
  }

 private:
  std::unordered_map<std::string, size_t> by_barcode_;
};

}  // namespace ui
