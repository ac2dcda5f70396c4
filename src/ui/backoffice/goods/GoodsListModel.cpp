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

}  // namespace

GoodsListModel::GoodsListModel(QObject* parent)
    : QAbstractTableModel(parent), pages_(backoffice::kGoodsPage, backoffice::LoadGoodsRows) {}

int GoodsListModel::ColumnWidth(int column) { return kColumns[static_cast<size_t>(column)].width; }

void GoodsListModel::SetEntries(std::vector<backoffice::GoodsListEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  pages_.Clear();
  endResetModel();
}

const backoffice::GoodsListRow* GoodsListModel::Full(int row) const {
  return pages_.Find(static_cast<size_t>(row), entries_.size(),
                     [this](size_t i) { return entries_[i].rowid; });
}

int GoodsListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int GoodsListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString GoodsListModel::Cell(int row, int column) const {
  const backoffice::GoodsListEntry& entry = entries_[static_cast<size_t>(row)];
  if (column == kBarcode) return Utf8(entry.barcode);
  if (column == kName) return Utf8(entry.goodsname);
  const backoffice::GoodsListRow* full = Full(row);
  if (!full) return column == kRowid ? QString::number(entry.rowid) : QString();
  switch (column) {
    case kRowid:
      return QString::number(full->rowid);
    case kUnit:
      return Utf8(full->unit);
    case kClass:
      return Utf8(full->class_name);
    case kSalesPrice:
      return FormatMoney(full->salesprice);
    case kMemberPrice:
      return FormatMoney(full->memberprice);
    case kImportPrice:
      return FormatMoney(full->importprice);
    case kAveragePrice:
      return FormatMoney(full->averageimportprice);
    case kStock:
      return FormatMoney(full->quantity);
    case kOpeningStock:
      return FormatMoney(full->iniinventory);
    case kScale:
      return Utf8(full->isscalegoods);
    case kPlu:
      return QString::number(full->pluno);
    case kRecordingDate:
      return Utf8(full->recordingdate);
    case kPoints:
      return full->givepoints ? QStringLiteral("是") : QStringLiteral("否");
    default:
      return {};
  }
}

QVariant GoodsListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return Cell(index.row(), index.column());
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
  const backoffice::GoodsListEntry& entry = entries_[static_cast<size_t>(row)];
  if (column == kBarcode) return entry.barcode;
  if (column == kName) return entry.goodsname;
  return {};
}

}  // namespace ui
