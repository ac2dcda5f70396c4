#include "ui/backoffice/goods/GoodsListModel.h"

#include <array>

#include "ui/common/Numbers.h"

namespace ui {
namespace {

struct ColumnInfo {
  const char* heading;
  int width;
  bool right;
};

constexpr std::array<ColumnInfo, GoodsListModel::kColumnCount> kColumns = {{
    {"序号", 50, true},
    {"条码", 150, false},
    {"名称", 200, false},
    {"单位", 100, false},
    {"类别", 100, false},
    {"售价", 70, true},
    {"会员价", 70, true},
    {"进价", 70, true},
    {"平均进价", 100, true},
    {"当前库存", 100, true},
    {"期初库存", 100, true},
    {"称重商品", 100, true},
    {"PLU编号", 100, true},
    {"录入时间", 150, false},
    {"参加积分", 100, false},
}};

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

GoodsListModel::GoodsListModel(QObject* parent) : QAbstractTableModel(parent) {}

int GoodsListModel::ColumnWidth(int column) { return kColumns[static_cast<size_t>(column)].width; }

void GoodsListModel::SetRows(std::vector<backoffice::GoodsListRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int GoodsListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GoodsListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString GoodsListModel::Cell(const backoffice::GoodsListRow& row, int column) const {
  switch (column) {
    case kRowid:
      return QString::number(row.rowid);
    case kBarcode:
      return Utf8(row.barcode);
    case kName:
      return Utf8(row.goodsname);
    case kUnit:
      return Utf8(row.unit);
    case kClass:
      return Utf8(row.class_name);
    case kSalesPrice:
      return FormatMoney(row.salesprice);
    case kMemberPrice:
      return FormatMoney(row.memberprice);
    case kImportPrice:
      return FormatMoney(row.importprice);
    case kAveragePrice:
      return FormatMoney(row.averageimportprice);
    case kStock:
      return FormatMoney(row.quantity);
    case kOpeningStock:
      return FormatMoney(row.iniinventory);
    case kScale:
      return Utf8(row.isscalegoods);
    case kPlu:
      return QString::number(row.pluno);
    case kRecordingDate:
      return Utf8(row.recordingdate);
    case kPoints:
      return row.givepoints ? QStringLiteral("是") : QStringLiteral("否");
    default:
      return {};
  }
}

QVariant GoodsListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return Cell(rows_[static_cast<size_t>(index.row())], index.column());
  if (role == Qt::TextAlignmentRole) {
    const bool right = kColumns[static_cast<size_t>(index.column())].right;
    return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignHCenter));
  }
  return {};
}

QVariant GoodsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString::fromUtf8(kColumns[static_cast<size_t>(section)].heading);
}

std::string_view GoodsListModel::SearchText(int row, int column) const {
  const backoffice::GoodsListRow& goods = rows_[static_cast<size_t>(row)];
  switch (column) {
    case kBarcode:
      return goods.barcode;
    case kName:
      return goods.goodsname;
    case kUnit:
      return goods.unit;
    case kClass:
      return goods.class_name;
    case kScale:
      return goods.isscalegoods;
    case kRecordingDate:
      return goods.recordingdate;
    default:
      return {};
  }
}

}  // namespace ui
