#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/backoffice/goods/goods_master.h"
#include "ui/common/PagedRows.h"
#include "ui/common/SearchDialog.h"

namespace ui {

// The goods list's fifteen columns over goods fetched from core. Barcode and name of every goods
// are held; the other columns are read a page at a time when a row is first shown and formatted
// only then, so a list of 200 000 goods opens at once.
class GoodsListModel : public QAbstractTableModel, public SearchableList {
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

  void SetEntries(std::vector<backoffice::GoodsListEntry> entries);
  const backoffice::GoodsListEntry& Entry(int row) const {
    return entries_[static_cast<size_t>(row)];
  }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  int SearchRowCount() const override { return rowCount(); }
  // Barcode and name; other columns read as empty.
  std::string_view SearchText(int row, int column) const override;

 private:
  // The full row, reading its page when it is not at hand; nullptr when it cannot be read.
  const backoffice::GoodsListRow* Full(int row) const;
  QString Cell(int row, int column) const;

  std::vector<backoffice::GoodsListEntry> entries_;
  PagedRows<backoffice::GoodsListRow> pages_;
};

}  // namespace ui
