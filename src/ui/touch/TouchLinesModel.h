#pragma once

#include <QAbstractTableModel>

#include "core/sale/current_sale.h"

namespace ui {

// The lines of the touch screen's sale in its twelve columns: "名称", "数量", "价格", "金额",
// "条码", "售价", "会员价", "前台价", "前台折扣", "会员折扣", "折扣率", "折扣金额" (what a
// customer asks about first, then the rest of the line). Reload() after every change.
class TouchLinesModel : public QAbstractTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchLinesModel)

 public:
  TouchLinesModel(const sale::CurrentSale& sale, QObject* parent);

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
