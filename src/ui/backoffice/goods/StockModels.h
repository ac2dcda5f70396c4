#pragma once

// The list models of the stock screens: the stock list with its total row, an open purchase or
// return bill, and the open stocktake. Each holds the rows core fetched and formats a cell
// only when the view asks for it, so 200 000 goods open at once.

#include <QAbstractTableModel>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stock_list.h"
#include "core/backoffice/goods/stocktake.h"
#include "ui/common/SearchDialog.h"

class QTableView;

namespace ui {

struct ListColumn {
  const char* heading;
  int width;
  bool right;  // right-aligned (numbers); else centred
};

// Headings, widths and alignment shared by the three lists; barcode is column 0 and name
// column 1 in each, which is what the search prompt looks through.
class StockTableModel : public QAbstractTableModel, public SearchableList {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StockTableModel)

 public:
  static constexpr int kBarcode = 0;
  static constexpr int kName = 1;

  StockTableModel(QObject* parent, std::vector<ListColumn> columns);

  // Sets the view's column widths to the list's.
  void ApplyWidths(QTableView* view) const;

  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  int SearchRowCount() const override { return rowCount(); }

 protected:
  virtual QString Cell(int row, int column) const = 0;

 private:
  std::vector<ListColumn> columns_;
};

// "条码", "名称", "单位", "类别", "当前库存", "当前成本", then the row "总计".
class StockListModel : public StockTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StockListModel)

 public:
  explicit StockListModel(QObject* parent);
  void SetList(backoffice::StockList list);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  std::string_view SearchText(int row, int column) const override;

 protected:
  QString Cell(int row, int column) const override;

 private:
  backoffice::StockList list_;
};

// The open bill of one kind: barcode, name, unit, quantity, price, amount.
class BillListModel : public StockTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(BillListModel)

 public:
  BillListModel(QObject* parent, backoffice::BillKind kind);
  void SetRows(std::vector<backoffice::BillRow> rows);
  const backoffice::BillRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  std::string_view SearchText(int row, int column) const override;

 protected:
  QString Cell(int row, int column) const override;

 private:
  std::vector<backoffice::BillRow> rows_;
};

// The open stocktake: barcode, name, unit, book, counted, difference.
class StocktakeModel : public StockTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StocktakeModel)

 public:
  explicit StocktakeModel(QObject* parent);
  void SetRows(std::vector<backoffice::StocktakeRow> rows);
  // Shows a row read again after one count, without reading the whole stocktake.
  void UpdateRow(const backoffice::StocktakeRow& row);
  const backoffice::StocktakeRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  std::string_view SearchText(int row, int column) const override;

 protected:
  QString Cell(int row, int column) const override;

 private:
  std::vector<backoffice::StocktakeRow> rows_;
  std::unordered_map<std::string, size_t> by_barcode_;
};

}  // namespace ui
