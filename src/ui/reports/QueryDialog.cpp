#include "ui/reports/QueryDialog.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <string>

#include "core/common/error.h"
#include "core/reports/audit_log.h"
#include "core/reports/queries.h"
#include "core/serversync/head_office.h"
#include "core/serversync/pg.h"
#include "core/store/outbox.h"
#include "ui/backoffice/members/MemberNamePickerDialog.h"
#include "ui/common/FileTransfer.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/ServerCall.h"
#include "ui/reports/AuditFilterDialog.h"
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

  connect(ui_->journalButton, &QPushButton::clicked, this, &QueryDialog::OnJournal);
  connect(ui_->itemSalesButton, &QPushButton::clicked, this,
          [this] { RunRangeQuery("销售明细查询", reports::SalesByItemPlan); });
  connect(ui_->shiftButton, &QPushButton::clicked, this,
          [this] { RunRangeQuery("班次销售查询", reports::ShiftPlan); });
  connect(ui_->dailyReportButton, &QPushButton::clicked, this, &QueryDialog::OnDailyReport);
  connect(ui_->otherButton, &QPushButton::clicked, this, &QueryDialog::OnOtherQueries);
  connect(ui_->auditButton, &QPushButton::clicked, this, &QueryDialog::OnAuditLog);
  connect(ui_->exportButton, &QPushButton::clicked, this, &QueryDialog::OnExport);
  connect(ui_->exitButton, &QPushButton::clicked, this, &QueryDialog::reject);
  connect(model_, &QueryResultModel::FillFailed, this,
          [this](const QString& message) { ShowMessage(this, message); });

  // Head office's view of the whole shop is offered once the till has joined a shop server.
  bool joined = false;
  try {
    store::Database db;
    joined = store::IsJoined(db);
  } catch (const std::exception&) {
  }
  ui_->scopeCombo->setVisible(joined);
}

std::optional<std::filesystem::path> QueryDialog::HeadOfficeFile(const reports::DateRange& range) {
  if (ui_->scopeCombo->isHidden() || ui_->scopeCombo->currentIndex() <= 0) return std::nullopt;
  const auto scope = ui_->scopeCombo->currentIndex() == 1 ? serversync::HeadOfficeScope::kThisShop
                                                          : serversync::HeadOfficeScope::kAllShops;
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("tillwise-headoffice-" + std::to_string(QCoreApplication::applicationPid()) + ".db");
  WithServer([&] {
    store::Database local;
    serversync::BuildHeadOfficeFile(local, scope, range.start, range.end, file);
  });
  return file;
}

void QueryDialog::OnJournal() {
  const std::optional<reports::DateRange> range = DateRangeDialog::Choose(this);
  if (!range) return;
  RunQuery("销售流水查询", [&] {
    std::optional<std::filesystem::path> file = HeadOfficeFile(*range);
    if (!file) return Show(reports::SalesJournalPlan(*range));
    // The head-office copy is a temporary file: read whole, then removed.
    reports::QueryResult result;
    {
      store::Database office(*file);
      result = reports::SalesJournalQuery(office, *range);
    }
    std::filesystem::remove(*file);
    model_->SetResult(std::move(result));
  });
}

QueryDialog::~QueryDialog() = default;

void QueryDialog::Show(const reports::QueryPlan& plan) {
  model_->Start(std::make_unique<reports::QueryCursor>(plan));
}

void QueryDialog::RunQuery(const QString& title, const std::function<void()>& fill) {
  model_->SetResult({});
  setWindowTitle(title);
  RunGuarded(this, fill);
  // Each query has its own columns, so each keeps its own widths.
  ListColumns::FitAndRemember(ui_->resultTable, "查询/" + title);
}

void QueryDialog::RunRangeQuery(
    const QString& title,
    const std::function<reports::QueryPlan(const reports::DateRange&)>& query) {
  const std::optional<reports::DateRange> range = DateRangeDialog::Choose(this);
  if (!range) return;
  RunQuery(title, [&] { Show(query(*range)); });
}

void QueryDialog::OnDailyReport() {
  const std::optional<reports::DateRange> range = DateRangeDialog::Choose(this);
  if (!range) return;
  std::optional<std::filesystem::path> file;
  if (!RunGuarded(this, [&] { file = HeadOfficeFile(*range); })) return;
  DailyReportWindow report(this, *range, file.value_or(std::filesystem::path()));
  if (file) std::filesystem::remove(*file);
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
    return RunQuery(choice, [&] { Show(reports::StocktakePlan(*stocktake)); });
  }
  const bool points = choice == "积分回馈查询";
  if (!points && choice != "会员消费查询") return;
  const std::optional<std::string> member = MemberNamePickerDialog::Choose(this);
  if (!member) return;
  RunQuery(choice, [&] {
    Show(points ? reports::PointsReturnPlan(*range, *member)
                : reports::MemberSalesPlan(*range, *member));
  });
}

void QueryDialog::OnAuditLog() {
  const std::optional<reports::DateRange> range = DateRangeDialog::Choose(this);
  if (!range) return;
  const std::optional<reports::AuditFilter> filter = AuditFilterDialog::Choose(this);
  if (!filter) return;
  RunQuery("操作日志", [&] { model_->SetResult(reports::AuditLogQuery(*range, *filter)); });
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
