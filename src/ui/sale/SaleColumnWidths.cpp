#include "ui/sale/SaleColumnWidths.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <array>
#include <numeric>

#include "core/sale/current_sale.h"

namespace ui {
namespace {

// The widest text each column usually shows, beside its heading.
constexpr std::array<const char*, sale::kColumnCount> kWidestContent = {
    "6920131234567",  // a 13-digit barcode
    "商品名称",       // the name column gives way first; four characters at least
    "千克",          "999.999", "9999.99", "9999.99",  "9999.99",  "9999.99",
    "1.00",          "1.00",    "1.00",    "99999.99", "99999.99",
};

}  // namespace

void FitSaleColumns(QTableView& table) {
  const QFontMetrics content(table.font());
  const QFontMetrics heading(table.horizontalHeader()->font());
  // A cell's text is inset by the focus frame margin on each side; a heading by its margin.
  const int padding =
      2 * (table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1) + 2;
  const int heading_padding =
      2 * table.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, table.horizontalHeader()) +
      2;
  std::array<int, sale::kColumnCount> widths{};
  int designed = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    const sale::SaleColumnInfo& column = sale::kSaleColumns[i];
    const QString title =
        QString::fromUtf8(column.heading.data(), static_cast<qsizetype>(column.heading.size()));
    widths[i] = std::max(content.horizontalAdvance(QString::fromUtf8(kWidestContent[i])) + padding,
                         heading.horizontalAdvance(title) + heading_padding);
    designed += column.width;
  }
  const int needed = std::accumulate(widths.begin(), widths.end(), 0);
  int spare = std::max(0, table.viewport()->width() - needed);
  // The name is what the cashier reads: it grows to its designed width first.
  const int name_growth =
      std::clamp(sale::kSaleColumns[sale::kGoodsName].width - widths[sale::kGoodsName], 0, spare);
  widths[sale::kGoodsName] += name_growth;
  spare -= name_growth;
  int given = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    int share = spare * sale::kSaleColumns[i].width / designed;
    given += share;
    widths[i] += share;
  }
  widths[sale::kGoodsName] += spare - given;  // rounding leftovers widen the name
  for (std::size_t i = 0; i < widths.size(); ++i) {
    table.setColumnWidth(static_cast<int>(i), widths[i]);
  }
}

}  // namespace ui
