#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "core/reports/date_range.h"
#include "core/reports/query_cursor.h"

namespace Ui {
class QueryDialog;
}

namespace ui {

class QueryResultModel;

// "查询": runs the sales and back-office queries over a date range into one list, with the
// "总计" row last; exports the list and opens the daily business report. Opens maximised with
// an empty list; the window title names the query shown.
class QueryDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(QueryDialog)

 public:
  QueryDialog(QWidget* parent, const QString& workno);
  ~QueryDialog() override;

  const QueryResultModel& model() const { return *model_; }

 private:
  // Empties the list, names the window and runs fill, which fills the list; a failure shows
  // its message ("查询有误").
  void RunQuery(const QString& title, const std::function<void()>& fill);
  // Shows the query's first rows at once and the rest as they are read; a failure while the
  // rest is read shows its message, and the rows read before it stay.
  void Show(const reports::QueryPlan& plan);
  // Asks for the range, then runs the query over it.
  void RunRangeQuery(const QString& title,
                     const std::function<reports::QueryPlan(const reports::DateRange&)>& query);
  void RunOtherQuery(const QString& choice);

  // The head-office copy of the server's records for the range when the scope chooser asks
  // for more than this till (made afresh for each query), or nullopt for the till's own file.
  std::optional<std::filesystem::path> HeadOfficeFile(const reports::DateRange& range);
  void OnJournal();
  void OnDailyReport();
  void OnOtherQueries();
  // "操作日志": the range, then the account and the action, then the audit trail.
  void OnAuditLog();
  void OnExport();

  std::unique_ptr<Ui::QueryDialog> ui_;
  QueryResultModel* model_;
};

}  // namespace ui
