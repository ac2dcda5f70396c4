#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/backoffice/goods/goods_master.h"
#include "ui/common/SearchDialog.h"

namespace ui {

// The goods list's fifteen columns over rows fetched from core; cells are formatted only when
// shown, so a list of 200 000 goods opens at once.
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

  void SetRows(std::vector<backoffice::GoodsListRow> rows);
  const backoffice::GoodsListRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  int SearchRowCount() const override { return rowCount(); }
  // The text columns (barcode, name, unit, class, scale flag, recording date); other columns
  // read as empty.
  std::string_view SearchText(int row, int column) const override;

 private:
  QString Cell(const backoffice::GoodsListRow& row, int column) const;

  std::vector<backoffice::GoodsListRow> rows_;
};

}  // namespace ui
