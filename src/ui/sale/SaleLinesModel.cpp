#include "ui/sale/SaleLinesModel.h"

#include <QString>

namespace ui {

SaleLinesModel::SaleLinesModel(const sale::CurrentSale& sale, QObject* parent)
    : QAbstractTableModel(parent), sale_(sale) {}

int SaleLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(sale_.lines.size());
}

int SaleLinesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : sale::kColumnCount;
}

QVariant SaleLinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= sale::kColumnCount) {
    return {};
  }
  const sale::SaleColumnInfo& column = sale::kSaleColumns[static_cast<std::size_t>(index.column())];
  if (role == Qt::DisplayRole) {
    return QString::fromStdString(sale_.lines[static_cast<std::size_t>(index.row())]
                                      .columns[static_cast<std::size_t>(index.column())]);
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignVCenter |
                               (column.right_aligned ? Qt::AlignRight : Qt::AlignLeft));
  }
  return {};
}

QVariant SaleLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= sale::kColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  std::string_view heading = sale::kSaleColumns[static_cast<std::size_t>(section)].heading;
  return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
}

void SaleLinesModel::Reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace ui
