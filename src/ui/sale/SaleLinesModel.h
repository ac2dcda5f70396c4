#pragma once

#include <QAbstractTableModel>

#include "core/sale/current_sale.h"

namespace ui {

// The lines of a CurrentSale as a read-only table with the thirteen sale columns. The sale
// is owned by the screen; Reload() after every change of it.
class SaleLinesModel : public QAbstractTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(SaleLinesModel)

 public:
  SaleLinesModel(const sale::CurrentSale& sale, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  void Reload();

 private:
  const sale::CurrentSale& sale_;
};

}  // namespace ui
