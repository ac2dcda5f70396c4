#pragma once

// A till joined to a real shop server: a fresh kasso.db with a few goods, and a fresh database
// on the test program's throwaway PostgreSQL cluster, set up and joined.

#include <string>

#include "../sale/sale_fixture.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_lines.h"
#include "core/serversync/pg.h"
#include "core/serversync/sender.h"
#include "core/serversync/server_schema.h"
#include "support/pg_cluster.h"

namespace server_testing {

class SilentUi : public sale_testing::ScriptedSaleUi {
 public:
  void Message(std::string_view text) override { messages.emplace_back(text); }
};

inline sale::SaleLine MakeLine(const std::string& barcode, double quantity, double price) {
  sale::SaleLine line;
  line[sale::kBarcode] = barcode;
  line[sale::kQuantity] = sale::MoneyText(quantity);
  line[sale::kPrice] = sale::MoneyText(price);
  line[sale::kRate] = "1.00";
  sale::SetLineAmounts(line, 1.0, price, quantity);
  return line;
}

// Bill n's lines: amounts that differ from bill to bill, so a lost or doubled bill shows.
inline void CommitBill(int n) {
  SilentUi ui;
  sale::CurrentSale sale;
  sale.workno = "0";
  sale.lines = {MakeLine("A", 1 + n % 4, 2.50), MakeLine("B", 1, 1.25 + n % 7)};
  const double due = (1 + n % 4) * 2.50 + 1.25 + n % 7;
  sale::CommitSale(sale, {.due = due, .cash = due}, ui);
}

inline serversync::SendOptions Batches(std::size_t size) {
  serversync::SendOptions options;
  options.batch_size = size;
  return options;
}

// Bills and money as the till's own journal has them.
struct Totals {
  std::int64_t bills = 0;
  double amount = 0;
  bool operator==(const Totals&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Totals& t) {
    return out << t.bills << " bills, " << t.amount;
  }
};

class ServerFixture : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"A", "苹果", 2.50, 2.50});
    AddGoods({"B", "香蕉", 1.25, 1.25});
    conninfo_ = testing_support::PgCluster::Shared().NewDatabase();
    serversync::PgConnection conn(conninfo_);
    serversync::InitServerSchema(conn);
    store::Database db = Open();
    serversync::JoinServer(db, conninfo_, "一号店", "收银一");
  }

  std::size_t Send(const serversync::SendOptions& options = {}) {
    store::Database db = Open();
    return serversync::SendPending(db, options);
  }

  Totals LocalTotals() {
    store::Database db = Open();
    store::Statement row = db.Query(
        "select count(*),round(ifnull(sum(actualvalue),0),2) from transactiondetails "
        "where transactiontype = '销售总计'");
    row.Step();
    return {row.Int(0), row.Double(1)};
  }

  // The server's totals over every till and epoch; a bill counted twice would show.
  Totals ServerTotals() {
    serversync::PgConnection conn(conninfo_);
    serversync::PgResult row = conn.Exec(
        "select count(*),round(coalesce(sum(actualvalue),0)::numeric,2) from journal "
        "where transactiontype = '销售总计'");
    return {row.Int(0, 0), row.Double(0, 1)};
  }

  std::int64_t ServerCount(const std::string& sql) {
    serversync::PgConnection conn(conninfo_);
    return conn.Exec(sql).Int(0, 0);
  }

  std::int64_t Pending() { return Count("select count(*) from outbox where sentat is null"); }

  std::string conninfo_;
};

}  // namespace server_testing
