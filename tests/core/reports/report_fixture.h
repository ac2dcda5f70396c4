#pragma once

// A shop whose journal is written by the sale engine itself, at times the test chooses.

#include <ctime>
#include <initializer_list>
#include <string>

#include "core/common/clock.h"
#include "core/reports/date_range.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_fixture.h"

namespace report_testing {

inline std::tm At(int month, int day, int hour, int minute = 0, int second = 0) {
  return common::MakeTime(2024, month, day, hour, minute, second);
}

// Whole days of 2024, the last one included.
inline reports::DateRange Days(int month, int first_day, int last_day) {
  return reports::MakeDateRange({2024, month, first_day}, {2024, month, last_day});
}

class ReportFixture : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.00, 9.00});
    AddGoods({"2", "牛奶", 3.00, 3.00});
    // Bread was last bought at 6.00 (5.00 on average); milk was never bought.
    Open().Exec(
        "update goodsmaster set importprice = 6, averageimportprice = 5 where barcode = '1'");
    Open().Exec(
        "update goodsmaster set importprice = null, averageimportprice = 2 where barcode = '2'");
    Open().Exec("insert into inventory (barcode,quantity) values ('1',100),('2',100)");
  }

  // Rings the entries up for the member (none: the ordinary customer) and commits the sale at
  // the given time, paid exactly in cash.
  void SellAt(const std::tm& when, std::initializer_list<std::string> entries,
              const std::string& member = "") {
    common::SetFixedClock(when);
    if (!member.empty()) Attach(member);
    for (const std::string& entry : entries) Enter(entry);
    const double due = sale_.total;
    ASSERT_TRUE(sale::CommitSale(sale_, sale::Payment{.due = due, .cash = due}, ui_).committed);
  }

  // A stocktake verified the way the stocktake screen verifies one: the counts in invcount,
  // the differences added to the stock, the rows copied under one confirmation time.
  void VerifyStocktakeAt(const std::tm& when, const std::string& barcode, double book,
                         double counted) {
    common::SetFixedClock(when);
    store::Database db = Open();
    store::Transaction tx(db);
    db.Exec("insert into invcount (barcode,accquant,invquant,plquant) values (?,?,?,?)", barcode,
            book, counted, counted - book);
    db.Exec("update inventory set quantity = quantity + (?) where barcode = ?", counted - book,
            barcode);
    db.Exec(
        "insert into invcountbak (barcode,accquant,invquant,plquant,confirmdate) "
        "select barcode,accquant,invquant,plquant,? from invcount",
        common::NowText());
    db.Exec("delete from invcount");
    tx.Commit();
  }
};

}  // namespace report_testing
