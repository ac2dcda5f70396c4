#include "ui/reports/QueryDialog.h"

#include <QHeaderView>

#include "core/reports/queries.h"
#include "ui/backoffice/members/MemberNamePickerDialog.h"
#include "ui/common/FileTransfer.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/reports/DailyReportWindow.h"
#include "ui/reports/DateRangeDialog.h"
#include "ui/reports/OtherQueryDialog.h"
#include "ui/reports/QueryResultModel.h"
#include "ui/sale/RecordListDialog.h"
#include "ui_QueryDialog.h"

namespace ui {

QueryDialog::QueryDialog(QWidget* parent, [[maybe_unused]] const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::QueryDialog>()),
      model_(new QueryResultModel(this)) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setWindowState(windowState() | Qt::WindowMaximized);

  ui_->resultTable->setModel(model_);
  // Every row is one line high, so a list of a million rows never measures its rows.
  QHeaderView* rows = ui_->resultTable->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(rows->minimumSectionSize() + 4);

  connect(ui_->journalButton, &QPushButton::clicked, this,
          [this] { RunRangeQuery("销售流水查询", reports::SalesJournalPlan); });
  connect(ui_->itemSalesButton, &QPushButton::clicked, this,
          [this] { RunRangeQuery("销售明细查询", reports::SalesByItemPlan); });
  connect(ui_->shiftButton, &QPushButton::clicked, this,
          [this] { RunRangeQuery("班次销售查询", reports::ShiftPlan); });
  connect(ui_->dailyReportButton, &QPushButton::clicked, this, &QueryDialog::OnDailyReport);
  connect(ui_->otherButton, &QPushButton::clicked, this, &QueryDialog::OnOtherQueries);
  connect(ui_->exportButton, &QPushButton::clicked, this, &QueryDialog::OnExport);
  connect(ui_->exitButton, &QPushButton::clicked, this, &QueryDialog::reject);
  connect(model_, &QueryResultModel::FillFailed, this,
          [this](const QString& message) { ShowMessage(this, message); });
}

QueryDialog::~QueryDialog() = default;

void QueryDialog::RunQuery(const QString& title, const std::function<reports::QueryPlan()>& query) {
  model_->SetResult({});
  setWindowTitle(title);
  RunGuarded(this, [&] { model_->Start(std::make_unique<reports::QueryCursor>(query())); });
  // Each query has its own columns, so each keeps its own widths.
  ListColumns::FitAndRemember(ui_->resultTable, "查询/" + title);
}

void QueryDialog::RunRangeQuery(
    const QString& title,
    const std::function<reports::QueryPlan(const reports::DateRange&)>& query) {
  const std::optional<reports::DateRange> range = DateRangeDialog::Choose(this);
  if (!range) return;
  RunQuery(title, [&] { return query(*range); });
}

void QueryDialog::OnDailyReport() {
  const std::optional<reports::DateRange> range = DateRangeDialog::Choose(this);
  if (!range) return;
  DailyReportWindow report(this, *range);
  report.exec();
}

void QueryDialog::OnOtherQueries() {
  if (const std::optional<QString> choice = OtherQueryDialog::Choose(this)) RunOtherQuery(*choice);
}

void QueryDialog::RunOtherQuery(const QString& choice) {
  if (choice == "进货查询") return RunRangeQuery(choice, reports::PurchasePlan);
  if (choice == "返厂查询") return RunRangeQuery(choice, reports::SupplierReturnPlan);
  if (choice == "储值查询") return RunRangeQuery(choice, reports::DepositPlan);
  const std::optional<reports::DateRange> range = DateRangeDialog::Choose(this);
  if (!range) return;
  if (choice == "盘点查询") {
    const std::optional<std::string> stocktake =
        RecordListDialog::ChooseStocktake(this, range->start, range->end);
    if (!stocktake) return;
    return RunQuery(choice, [&] { return reports::StocktakePlan(*stocktake); });
  }
  const bool points = choice == "积分回馈查询";
  if (!points && choice != "会员消费查询") return;
  const std::optional<std::string> member = MemberNamePickerDialog::Choose(this);
  if (!member) return;
  RunQuery(choice, [&] {
    return points ? reports::PointsReturnPlan(*range, *member)
                  : reports::MemberSalesPlan(*range, *member);
  });
}

void QueryDialog::OnExport() {
  RunGuarded(this, [this] {
    // The file holds every row and the totals, however far the list has filled.
    model_->FetchAll();
    const reports::QueryResult& result = model_->result();
    ExportTable(this, reports::ToTable(result), windowTitle(), "查询结果",
                reports::NumberColumns(result));
  });
}

}  // namespace ui
