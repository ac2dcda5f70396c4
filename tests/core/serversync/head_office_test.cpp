// Head office sees every till of the shop through the till's own queries: the same columns
// and totals as each till's own journal and daily report.

#include "core/serversync/head_office.h"

#include "core/backoffice/goods/purchase_bills.h"
#include "core/reports/daily_report.h"
#include "core/reports/queries.h"
#include "core/store/schema.h"
#include "server_fixture.h"

namespace {

using server_testing::CommitBill;
using serversync::HeadOfficeScope;

class HeadOfficeTest : public server_testing::ServerFixture {
 protected:
  const reports::DateRange kAllTime{"2000-01-01", "2100-01-01"};

  // The query or report over the server's records of the scope, as this till asks for it.
  std::filesystem::path Build(HeadOfficeScope scope) {
    const std::filesystem::path file = dir() / "headoffice.db";
    store::Database local = Open();
    serversync::BuildHeadOfficeFile(local, scope, kAllTime.start, kAllTime.end, file);
    return file;
  }
  static std::string Totals(const reports::QueryResult& result) {
    std::string text;
    for (std::size_t c = 0; c < result.ColumnCount(); ++c) {
      text += result.Text(result.RowCount() - 1, c) + "|";
    }
    return text;
  }
  static std::string Rows(const std::vector<reports::ReportRow>& rows) {
    std::string text;
    for (const auto& row : rows) text += row.item + "=" + row.value + "\n";
    return text;
  }
};

TEST_F(HeadOfficeTest, ShopJournalAndDailyReportAddUpEveryTillsOwn) {
  for (int n = 0; n < 6; ++n) CommitBill(n);
  Open().Exec("insert into import (barcode,quantity,importprice,importvalue) values ('A',3,2,6)");
  backoffice::VerifyBill(backoffice::BillKind::kPurchase);
  Send();
  const reports::QueryResult first_journal = reports::SalesJournalQuery(kAllTime);

  // Alone on the server, this till's head-office view is its own view, to the cent.
  {
    store::Database office(Build(HeadOfficeScope::kThisShop));
    EXPECT_EQ(Totals(reports::SalesJournalQuery(office, kAllTime)), Totals(first_journal));
    EXPECT_EQ(reports::SalesJournalQuery(office, kAllTime).RowCount(), first_journal.RowCount());
    EXPECT_EQ(Rows(reports::DailyReportRows(reports::ComputeDailyReportFigures(office, kAllTime),
                                            reports::ReportMedium::kPaper)),
              Rows(reports::DailyReportRows(reports::ComputeDailyReportFigures(kAllTime),
                                            reports::ReportMedium::kPaper)));
  }

  // A second till of the same shop sells the same bill numbers: the shop sees both.
  const std::filesystem::path second_dir = testing_support::MakeTempDir();
  store::SetDataDirectory(second_dir);
  store::CreateNewDatabase(store::DatabasePath());
  AddGoods({"A", "苹果", 2.50, 2.50});
  AddGoods({"B", "香蕉", 1.25, 1.25});
  {
    store::Database db = Open();
    serversync::JoinServer(db, conninfo_, "一号店", "收银二");
  }
  for (int n = 20; n < 24; ++n) CommitBill(n);
  Send();
  const reports::QueryResult second_journal = reports::SalesJournalQuery(kAllTime);
  store::SetDataDirectory(dir());

  store::Database shop(Build(HeadOfficeScope::kThisShop));
  const reports::QueryResult whole = reports::SalesJournalQuery(shop, kAllTime);
  EXPECT_EQ(whole.ResultRows(), first_journal.ResultRows() + second_journal.ResultRows());
  const std::size_t amount = 6;  // "金额", summed over the bill totals
  EXPECT_NEAR(std::stod(whole.Text(whole.RowCount() - 1, amount)),
              std::stod(first_journal.Text(first_journal.RowCount() - 1, amount)) +
                  std::stod(second_journal.Text(second_journal.RowCount() - 1, amount)),
              0.005);
  store::Database till(Build(HeadOfficeScope::kThisTill));
  EXPECT_EQ(Totals(reports::SalesJournalQuery(till, kAllTime)), Totals(first_journal));
  std::filesystem::remove_all(second_dir);
}

}  // namespace
