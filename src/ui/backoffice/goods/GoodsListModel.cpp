#include "ui/backoffice/goods/GoodsListModel.h"

#include <array>

#include "ui/common/Numbers.h"

namespace ui {
namespace {

using Entry = backoffice::GoodsListEntry;
using Row = backoffice::GoodsListRow;

// Rowid, barcode and name are held for every goods; the rest come with the row's page.
constexpr std::array<ListColumn<Row, Entry>, GoodsListModel::kColumnCount> kColumns = {{
    {"序号", 50, kRightAligned, nullptr, [](const Entry& e) { return QString::number(e.rowid); }},
    {"条码", 150, kCentred, nullptr, [](const Entry& e) { return Utf8(e.barcode); }},
    {"名称", 200, kCentred, nullptr, [](const Entry& e) { return Utf8(e.goodsname); }},
    {"单位", 100, kCentred, [](const Row& r) { return Utf8(r.unit); }},
    {"类别", 100, kCentred, [](const Row& r) { return Utf8(r.class_name); }},
    {"售价", 70, kRightAligned, [](const Row& r) { return FormatMoney(r.salesprice); }},
    {"会员价", 70, kRightAligned, [](const Row& r) { return FormatMoney(r.memberprice); }},
    {"进价", 70, kRightAligned, [](const Row& r) { return FormatMoney(r.importprice); }},
    {"平均进价", 100, kRightAligned,
     [](const Row& r) { return FormatMoney(r.averageimportprice); }},
    {"当前库存", 100, kRightAligned, [](const Row& r) { return FormatMoney(r.quantity); }},
    {"期初库存", 100, kRightAligned, [](const Row& r) { return FormatMoney(r.iniinventory); }},
    {"称重商品", 100, kRightAligned, [](const Row& r) { return Utf8(r.isscalegoods); }},
    {"PLU编号", 100, kRightAligned, [](const Row& r) { return QString::number(r.pluno); }},
    {"录入时间", 150, kCentred, [](const Row& r) { return Utf8(r.recordingdate); }},
    {"参加积分", 100, kCentred,
     [](const Row& r) { return r.givepoints ? QStringLiteral("是") : QStringLiteral("否"); }},
}};

}  // namespace

GoodsListModel::GoodsListModel(QObject* parent)
    : PagedTableModel(parent, kColumns, backoffice::kGoodsPage, backoffice::LoadGoodsRows) {}

int GoodsListModel::ColumnWidth(int column) { return kColumns[static_cast<size_t>(column)].width; }

std::string_view GoodsListModel::SearchText(int row, int column) const {
  const backoffice::GoodsListEntry& entry = Entry(row);
  if (column == kBarcode) return entry.barcode;
  if (column == kName) return entry.goodsname;
  return {};
}

}  // namespace ui
