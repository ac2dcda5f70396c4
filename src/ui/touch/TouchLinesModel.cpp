#include "ui/touch/TouchLinesModel.h"

#include <QString>
#include <array>

namespace ui {
namespace {

struct TouchColumn {
  const char* heading;
  sale::SaleColumn column;
};

constexpr std::array<TouchColumn, 12> kColumns = {{
    {"名称", sale::kGoodsName},
    {"数量", sale::kQuantity},
    {"价格", sale::kPrice},
    {"金额", sale::kAmount},
    {"条码", sale::kBarcode},
    {"售价", sale::kSalesPrice},
    {"会员价", sale::kMemberPrice},
    {"前台价", sale::kFrontPrice},
    {"前台折扣", sale::kFrontRate},
    {"会员折扣", sale::kMemberRate},
    {"折扣率", sale::kRate},
    {"折扣金额", sale::kDiscountAmount},
}};

}  // namespace

TouchLinesModel::TouchLinesModel(const sale::CurrentSale& sale, QObject* parent)
    : QAbstractTableModel(parent), sale_(sale) {}

int TouchLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(sale_.lines.size());
}

int TouchLinesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
}

QVariant TouchLinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const sale::SaleColumn column = kColumns[static_cast<size_t>(index.column())].column;
  if (role == Qt::DisplayRole) {
    return QString::fromStdString(sale_.lines[static_cast<size_t>(index.row())][column]);
  }
  if (role == Qt::TextAlignmentRole) {
    const bool right = sale::kSaleColumns[static_cast<size_t>(column)].right_aligned;
    return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
  }
  return {};
}

QVariant TouchLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString::fromUtf8(kColumns[static_cast<size_t>(section)].heading);
}

void TouchLinesModel::Reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace ui
