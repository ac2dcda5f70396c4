#include "ui/reports/QueryResultModel.h"

namespace ui {

void QueryResultModel::SetResult(reports::QueryResult result) {
  beginResetModel();
  result_ = std::move(result);
  endResetModel();
}

int QueryResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(result_.RowCount());
}

int QueryResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(result_.ColumnCount());
}

QVariant QueryResultModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  const auto row = static_cast<std::size_t>(index.row());
  const auto column = static_cast<std::size_t>(index.column());
  if (role == Qt::DisplayRole) return QString::fromStdString(result_.Text(row, column));
  if (role == Qt::TextAlignmentRole) {
    const bool right = result_.columns()[column].align == reports::Align::kRight;
    return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignHCenter));
  }
  return {};
}

QVariant QueryResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < columnCount()) {
    return QString::fromStdString(result_.columns()[static_cast<std::size_t>(section)].title);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace ui
