#pragma once

#include <vector>

#include "core/backoffice/goods/goods_master.h"
#include "ui/common/ColumnTableModel.h"
#include "ui/common/SearchDialog.h"

namespace ui {

// The goods list's fifteen columns over goods fetched from core. Barcode and name of every goods
// are held; the other columns are read a page at a time when a row is first shown and formatted
// only then, so a list of 200 000 goods opens at once.
class GoodsListModel : public PagedTableModel<backoffice::GoodsListEntry, backoffice::GoodsListRow>,
                       public SearchableList {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(GoodsListModel)

 public:
  enum Column {
    kRowid,
    kBarcode,
    kName,
    kUnit,
    kClass,
    kSalesPrice,
    kMemberPrice,
    kImportPrice,
    kAveragePrice,
    kStock,
    kOpeningStock,
    kScale,
    kPlu,
    kRecordingDate,
    kPoints,
    kColumnCount
  };

  explicit GoodsListModel(QObject* parent);

  // The column's width in the list.
  static int ColumnWidth(int column);

  int SearchRowCount() const override { return rowCount(); }
  // Barcode and name; other columns read as empty.
  std::string_view SearchText(int row, int column) const override;
};

}  // namespace ui
