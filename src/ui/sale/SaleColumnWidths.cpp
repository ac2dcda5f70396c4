#include "ui/sale/SaleColumnWidths.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>
#include <vector>

#include "core/sale/current_sale.h"
#include "ui/sale/SaleLinesModel.h"

namespace ui {
namespace {

// The least each column makes room for, whatever the lines hold now: a 13-digit barcode, a
// name of four characters, an amount of three digits before the point.
constexpr std::array<const char*, kColumnCount> kLeastContent = {
    "6920131234567", "商品名称", "千克", "99.999", "99.99",  "99.99",  "99.99",
    "99.99",         "1.00",     "1.00", "1.00",   "999.99", "999.99",
};

struct ColumnRoom {
  int comfortable = 0;  // content and heading on one line
  int tight = 0;        // content, with the heading on two lines
  int designed = 0;     // the designed width, for sharing what is left
  int heading = 0;      // the heading on one line
};

// The wider half of a heading broken onto two lines.
QString WiderHalf(const QString& heading) {
  const qsizetype first = (heading.size() + 1) / 2;
  return heading.left(first);
}

}  // namespace

void FitSaleColumns(QTableView& table, SaleLinesModel& model, int in_view) {
  const QFontMetrics content(table.font());
  QHeaderView& header = *table.horizontalHeader();
  const QFontMetrics heading(header.font());
  // A cell's text is inset by the focus frame margin on each side; a heading by its margin.
  const int padding =
      2 * (table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1) + 2;
  const int heading_padding =
      2 * table.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header) + 2;

  const int count = model.columnCount();
  in_view = std::clamp(in_view, 0, count);
  std::vector<ColumnRoom> room(static_cast<std::size_t>(count));
  int name = -1;
  for (int i = 0; i < count; ++i) {
    const SaleColumn column = model.columns()[static_cast<std::size_t>(i)].column;
    if (column == kGoodsName) name = i;
    const int least = content.horizontalAdvance(QString::fromUtf8(kLeastContent[column]));
    int widest = least;
    for (int row = 0; row < model.rowCount(); ++row) {
      widest = std::max(widest, content.horizontalAdvance(model.index(row, i).data().toString()));
    }
    const std::string_view caption = model.columns()[static_cast<std::size_t>(i)].heading;
    const QString title = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    ColumnRoom& r = room[static_cast<std::size_t>(i)];
    r.heading = heading.horizontalAdvance(title) + heading_padding;
    r.comfortable = std::max(widest + padding, r.heading);
    // Figures are never cut; a name is cut only when nothing else gives way.
    r.tight = std::max((column == kGoodsName ? least : widest) + padding,
                       heading.horizontalAdvance(WiderHalf(title)) + heading_padding);
    r.designed = kSaleColumns[column].width;
  }

  std::vector<int> widths(room.size());
  for (std::size_t i = 0; i < room.size(); ++i) {
    // Columns out of view stay readable but take as little scrolling as they can.
    widths[i] = static_cast<int>(i) < in_view ? room[i].comfortable : room[i].tight;
  }
  const int available = table.viewport()->width();
  auto over = [&] {
    return std::accumulate(widths.begin(), widths.begin() + in_view, 0) - available;
  };
  // The columns in view besides the name give up their spare heading room, narrowest first,
  // until the name has what it needs.
  std::vector<std::size_t> order;
  for (int i = 0; i < in_view; ++i) {
    if (i != name) order.push_back(static_cast<std::size_t>(i));
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return room[a].designed < room[b].designed;
  });
  for (std::size_t k = 0; k < order.size(); ++k) {
    // Columns of one designed width give way together, so alike columns look alike.
    const bool new_group = k == 0 || room[order[k]].designed != room[order[k - 1]].designed;
    if (new_group && over() <= 0) break;
    widths[order[k]] = room[order[k]].tight;
  }
  // Only then is the name cut, never below four characters.
  if (name >= 0 && name < in_view && over() > 0) {
    const auto n = static_cast<std::size_t>(name);
    widths[n] = std::max(room[n].tight, widths[n] - over());
  }
  // Room left over widens the columns of a list that shows them all, in their designed
  // proportions; the rounding goes to the name.
  const int spare = -over();
  if (spare > 0 && in_view == count && count > 0) {
    int designed = 0;
    for (const ColumnRoom& r : room) designed += r.designed;
    int given = 0;
    for (std::size_t i = 0; i < room.size(); ++i) {
      const int share = spare * room[i].designed / std::max(designed, 1);
      widths[i] += share;
      given += share;
    }
    widths[static_cast<std::size_t>(std::max(name, 0))] += spare - given;
  }

  std::vector<bool> split(widths.size());
  for (std::size_t i = 0; i < widths.size(); ++i) {
    split[i] = widths[i] < room[i].heading;
    table.setColumnWidth(static_cast<int>(i), widths[i]);
  }
  // A heading narrower than its text is shown on two lines; the header grows to hold them.
  model.SetSplitHeadings(std::move(split));
}

void ShowSaleLines(QTableView& table, SaleLinesModel& model, const sale::CurrentSale& sale,
                   int in_view) {
  model.Reload();
  FitSaleColumns(table, model, in_view);
  if (!sale.HasSelection()) {
    table.clearSelection();
    return;
  }
  const QModelIndex row = model.index(sale.selected, 0);
  table.selectionModel()->select(row,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  table.setCurrentIndex(row);
  table.scrollTo(row);
}

}  // namespace ui
