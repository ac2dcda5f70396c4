#include "core/labels/simple_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/labels/label_template.h"
#include "core/labels/print_queue.h"

namespace labels {

std::vector<LabelGoods> CollectSimpleLabels(store::Database& db, const std::string& labelkind,
                                            SimpleSource source, const std::string& value) {
  std::vector<std::string> barcodes;
  if (source == SimpleSource::kBarcode) {
    barcodes.push_back(value);
  } else if (source == SimpleSource::kClass) {
    store::Statement rows =
        db.Query("select barcode from goodsmaster where class = ? order by rowid", value);
    while (rows.Step()) barcodes.push_back(rows.Text(0));
  } else {
    const bool shelf = labelkind == kShelfLabel;
    store::Statement rows = db.Query("select barcode,quantity from import order by rowid");
    while (rows.Step()) {
      // Counting 0, 1, 2, ... while below the quantity: 2.5 labels print as 3.
      const double copies = shelf ? 1 : std::ceil(std::max(rows.Double(1), 0.0));
      CheckRunSize(static_cast<std::int64_t>(barcodes.size()) +
                   static_cast<std::int64_t>(std::min(copies, 1e12)));
      for (double k = 0; k < copies; ++k) barcodes.push_back(rows.Text(0));
    }
  }
  return LoadLabelGoods(db, barcodes);
}

}  // namespace labels
