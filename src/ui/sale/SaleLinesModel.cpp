#include "ui/sale/SaleLinesModel.h"

#include <QString>

#include "core/common/format.h"

namespace ui {

QString SaleLineText(const sale::SaleLine& line, SaleColumn column) {
  auto text = [](const std::string& value) { return QString::fromStdString(value); };
  auto money = [&](double value) { return text(common::Money(value)); };
  switch (column) {
    case kBarcode:
      return text(line.barcode);
    case kGoodsName:
      return text(line.goods_name);
    case kUnit:
      return text(line.unit);
    case kQuantity:
      return text(common::Fixed(line.quantity, line.quantity_decimals));
    case kSalesPrice:
      return money(line.sales_price);
    case kMemberPrice:
      return money(line.member_price);
    case kFrontPrice:
      return money(line.front_price);
    case kPrice:
      return money(line.price);
    case kFrontRate:
      return money(line.front_rate);
    case kMemberRate:
      return money(line.member_rate);
    case kRate:
      return money(line.rate);
    case kAmount:
      return money(line.amount);
    case kDiscountAmount:
      return money(line.discount_amount);
    case kColumnCount:
      break;
  }
  return {};
}

std::vector<LineColumn> AllSaleColumns() {
  std::vector<LineColumn> columns;
  for (int column = 0; column < kColumnCount; ++column) {
    columns.push_back(
        {kSaleColumns[static_cast<std::size_t>(column)].heading, static_cast<SaleColumn>(column)});
  }
  return columns;
}

SaleLinesModel::SaleLinesModel(const sale::CurrentSale& sale, std::vector<LineColumn> columns,
                               QObject* parent)
    : QAbstractTableModel(parent), sale_(sale), columns_(std::move(columns)) {}

int SaleLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(sale_.lines.size());
}

int SaleLinesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant SaleLinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const SaleColumn column = columns_[static_cast<std::size_t>(index.column())].column;
  if (role == Qt::DisplayRole) {
    return SaleLineText(sale_.lines[static_cast<std::size_t>(index.row())], column);
  }
  if (role == Qt::TextAlignmentRole) {
    const bool right = kSaleColumns[static_cast<std::size_t>(column)].right_aligned;
    return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
  }
  return {};
}

QVariant SaleLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  std::string_view heading = columns_[static_cast<std::size_t>(section)].heading;
  QString text = QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
  const auto index = static_cast<std::size_t>(section);
  if (index < split_.size() && split_[index]) text.insert((text.size() + 1) / 2, QLatin1Char('\n'));
  return text;
}

void SaleLinesModel::SetSplitHeadings(std::vector<bool> split) {
  if (split == split_) return;
  split_ = std::move(split);
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void SaleLinesModel::Reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace ui
