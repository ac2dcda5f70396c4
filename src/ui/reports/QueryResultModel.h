#pragma once

#include <QAbstractTableModel>

#include "core/reports/query_result.h"

namespace ui {

// The query list: the rows of one query result with its "总计" row last, read-only. Cells
// are formatted from the result only when they are shown, so a year of the journal opens at
// once.
class QueryResultModel : public QAbstractTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(QueryResultModel)

 public:
  explicit QueryResultModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Replaces columns and rows at once.
  void SetResult(reports::QueryResult result);
  const reports::QueryResult& result() const { return result_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  reports::QueryResult result_;
};

}  // namespace ui
