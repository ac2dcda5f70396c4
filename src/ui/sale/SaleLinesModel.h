#pragma once

#include <QAbstractTableModel>
#include <string_view>
#include <vector>

#include "core/sale/current_sale.h"

namespace ui {

// One column of a line list: its heading and the sale line's column it shows.
struct LineColumn {
  std::string_view heading;
  sale::SaleColumn column;
};

// The keyboard screen's thirteen columns in the sale line's own order.
std::vector<LineColumn> AllSaleColumns();

// The lines of a CurrentSale as a read-only table with the columns given (the keyboard screen
// shows all thirteen, the touch screen twelve in its own order). The sale is owned by the
// screen; Reload() after every change of it.
class SaleLinesModel : public QAbstractTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(SaleLinesModel)

 public:
  SaleLinesModel(const sale::CurrentSale& sale, std::vector<LineColumn> columns, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  void Reload();

  const std::vector<LineColumn>& columns() const { return columns_; }

  // Headings shown on two lines, halved, for columns narrower than their heading (one flag
  // per column; missing flags are false).
  void SetSplitHeadings(std::vector<bool> split);

 private:
  const sale::CurrentSale& sale_;
  std::vector<LineColumn> columns_;
  std::vector<bool> split_;
};

}  // namespace ui
