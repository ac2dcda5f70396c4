#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <string_view>
#include <vector>

#include "core/sale/current_sale.h"

namespace ui {

// The columns of a sale line, in the keyboard screen's fixed order.
enum SaleColumn : int {
  kBarcode = 0,
  kGoodsName,
  kUnit,
  kQuantity,
  kSalesPrice,
  kMemberPrice,
  kFrontPrice,
  kPrice,
  kFrontRate,
  kMemberRate,
  kRate,
  kAmount,
  kDiscountAmount,
  kColumnCount,
};

struct SaleColumnInfo {
  std::string_view heading;
  int width;  // in dialog pixels; screens may scale it
  bool right_aligned;
};

inline constexpr std::array<SaleColumnInfo, kColumnCount> kSaleColumns = {{
    {"条码", 100, false},
    {"名称", 200, false},
    {"单位", 50, false},
    {"数量", 70, true},
    {"售价", 70, true},
    {"会员价", 70, true},
    {"前台价格", 80, true},
    {"价格", 70, true},
    {"前台折扣", 80, true},
    {"会员折扣", 80, true},
    {"折扣率", 60, true},
    {"金额", 150, true},
    {"折扣金额", 150, true},
}};

// The text a column shows for a line: money, prices and rates "%.2f", the quantity with the
// line's own decimals.
QString SaleLineText(const sale::SaleLine& line, SaleColumn column);

// One column of a line list: its heading and the sale line's column it shows.
struct LineColumn {
  std::string_view heading;
  SaleColumn column;
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
