#pragma once

#include <QAbstractTableModel>
#include <QTimer>
#include <memory>

#include "core/reports/query_cursor.h"
#include "core/reports/query_result.h"

namespace ui {

// The query list: the rows of one query result with its "总计" row last, read-only. Cells
// are formatted from the result only when they are shown. A query given as a cursor shows
// its first screen of rows at once; the rest is read in short slices between the screen's
// events (and at once as far as the list is scrolled), and the "总计" row follows the last
// row.
class QueryResultModel : public QAbstractTableModel {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(QueryResultModel)

 public:
  // Rows read before Start returns: more than a maximised list shows.
  static constexpr std::size_t kFirstScreenRows = 200;

  explicit QueryResultModel(QObject* parent = nullptr);
  ~QueryResultModel() override;

  // Replaces columns and rows at once.
  void SetResult(reports::QueryResult result);
  // Replaces columns and rows with the cursor's query: reads its first screen of rows now
  // and the rest in the background. Throws common::UserError when the first rows cannot be
  // read (the list is then empty).
  void Start(std::unique_ptr<reports::QueryCursor> cursor);
  // Reads every row that is left and the totals (for an export). Throws common::UserError.
  void FetchAll();
  // Whether rows are still to come.
  bool IsFilling() const { return cursor_ != nullptr; }
  const reports::QueryResult& result() const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 signals:
  // Reading the rest failed; the rows shown so far stay, without a "总计" row.
  void FillFailed(const QString& message);

 private:
  // Reads rows for about one slice of time and shows them; the last slice adds "总计".
  void FillSlice();
  // Reads up to `rows` rows (all when 0) and shows them. Throws common::UserError.
  void Read(std::size_t rows, bool whole);

  reports::QueryResult result_;
  std::unique_ptr<reports::QueryCursor> cursor_;
  QTimer fill_timer_;
  int shown_rows_ = 0;  // rows the view has been told of, "总计" included
};

}  // namespace ui
