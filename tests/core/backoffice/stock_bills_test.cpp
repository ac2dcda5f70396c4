#include <gtest/gtest.h>

#include <fstream>
#include <tuple>
#include <utility>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stock_list.h"
#include "core/common/clock.h"
#include "core/common/format.h"
#include "core/files/spreadsheet.h"
#include "goods_fixture.h"

namespace {

using backoffice::BillKind;
using backoffice::BillLineFields;
using backoffice::LineChange;
using backoffice::LineField;
using testing_support::ErrorOf;
using testing_support::RefusalOf;

class StockBillsTest : public goods_testing::GoodsFixture {
 protected:
  void SetUp() override {
    GoodsFixture::SetUp();
    AddGoods("A", "苹果", "水果", 10);
    AddGoods("B", "香蕉", "水果", 40);
    AddGoods("K", "果篮", "礼品", 0, "是");
    Open().ExecScript(
        "update goodsmaster set averageimportprice = 5, importprice = 5 where barcode = 'A';"
        "insert into combinedgoods values ('K','A',3), ('K','B',0.333);");
  }
  // The open purchase bill as "barcode:quantity:price:amount " texts.
  static std::string Bill(BillKind kind = BillKind::kPurchase) {
    std::string text;
    for (const auto& row : backoffice::LoadBill(kind)) {
      text += row.barcode + ":" + backoffice::QuantityText(row.quantity) + ":" +
              backoffice::QuantityText(row.price) + ":" + backoffice::QuantityText(row.amount) +
              " ";
    }
    return text;
  }
  void Purchase(const char* barcode, const char* quantity, const char* price) {
    backoffice::SavePurchaseLine({barcode, quantity, price, ""});
  }
};

TEST_F(StockBillsTest, TheAmountDecidesThePriceAndEnterFillsTheOtherFieldOrNamesWhatIsMissing) {
  // Fields typed -> "price:amount" saved, or the refusal "message@field".
  const std::pair<BillLineFields, const char*> cases[] = {
      {{"A", "2", "3", ""}, "3.00:6.00"},
      {{"A", "2", "3", "7"}, "3.50:7.00"},
      {{"A", "3", "", "10"}, "3.33:10.00"},
      {{"A", "2", "0", "7"}, "3.50:7.00"},
      {{"A", "2", "3", "x"}, "3.00:6.00"},
      {{"A", "0", "3", ""}, "3.00:0.00"},
      {{"A", "2", "x", "7"}, "3.50:7.00"},
      {{" ", "1", "1", ""}, "条码不能为空@barcode"},
      {{"Z", "1", "1", ""}, "此商品不存在@barcode"},
      {{"A", " ", "1", ""}, "请录入数量@quantity"},
      {{"A", "1e3", "1", ""}, "数量录入有误@quantity"},
      {{"A", "-1", "1", ""}, "进货数量必须>=0@quantity"},
      {{"A", "2", "x", ""}, "单价有误@price"},
      {{"A", "2", "x", "y"}, "金额有误@amount"},
      {{"A", "2", "", ""}, "请录入金额@amount"},
      {{"A", "2", "0", "0"}, "请录入金额@amount"},
      {{"A", "0", "", "7"}, "数量为0时不能由金额计算单价@quantity"},
      {{"A", "0.001", "", "7"}, "数量为0时不能由金额计算单价@quantity"},
      // What the user typed last decides: a new quantity keeps the price; a line saved
      // unchanged keeps its amount.
      {{"A", "4", "2.50", "5.00", LineChange::kQuantity}, "2.50:10.00"},
      {{"A", "4", "3", "10", LineChange::kPrice}, "3.00:12.00"},
      {{"A", "4", "3", "10", LineChange::kAmount}, "2.50:10.00"},
      {{"A", "3", "3.33", "10.00", LineChange::kNone}, "3.33:10.00"},
      {{"A", "2", "-3", "", LineChange::kPrice}, "单价不能小于0@price"},
      {{"A", "2", "3", "-7"}, "金额不能小于0@amount"}};
  for (const auto& [fields, stored] : cases) {
    std::string got;
    auto refusal = RefusalOf([&] {
      auto line = backoffice::SavePurchaseLine(fields);
      got = common::Money(line.price) + ":" + common::Money(line.amount);
    });
    if (!refusal.message.empty()) got = refusal.message + "@" + refusal.field;
    EXPECT_EQ(got, stored) << fields.quantity << "|" << fields.price << "|" << fields.amount;
  }
  // A return line keeps its amount as a purchase line does, and verification books it.
  backoffice::SaveReturnLine({"A", "3", "", "10"});
  EXPECT_EQ(Bill(BillKind::kReturn), "A:3:3.33:10 ");
  backoffice::VerifyReturnBill();
  EXPECT_EQ(Count("select count(*) from returnbak where returnvalue = 10"), 1);
  backoffice::SaveReturnLine({"A", "6", "3.33", "9.99", LineChange::kQuantity});
  EXPECT_EQ(Bill(BillKind::kReturn), "A:6:3.33:19.98 ");
  EXPECT_EQ(backoffice::AfterTyping(backoffice::AfterTyping(LineChange::kNone, LineField::kAmount),
                                    LineField::kQuantity),
            LineChange::kAmount);
  // Enter on the amount (else on the price) -> "focus price amount", or "message@field".
  const std::tuple<bool, BillLineFields, const char*> steps[] = {
      {false, {"A", "2", "", ""}, "amount  "},
      {false, {"A", "2", "0.00", "5"}, "amount 0.00 5"},
      {false, {"A", "", "3", ""}, "quantity 3 "},
      {false, {"A", "2", "3.5", ""}, "confirm 3.5 7.00"},
      {false, {"A", "2", "x", ""}, "单价有误@price"},
      {false, {"A", "x", "3", ""}, "数量录入有误@quantity"},
      {true, {"A", "2", "3", ""}, "confirm 3 6.00"},
      {true, {"A", "4", "", "10"}, "confirm 2.50 10"},
      {true, {"A", "4", "", ""}, "请录入金额@amount"},
      {true, {"A", "4", "x", ""}, "价格录入有误@price"},
      {true, {"A", "", "3", ""}, "请录入数量@quantity"},
      {true, {"A", "", "", "10"}, "数量有误@quantity"},
      {true, {"A", "4", "", "x"}, "金额有误@amount"},
      {true, {"A", "0", "", "10"}, "数量为0时不能由金额计算单价@quantity"},
      {true, {"A", "4", "2.50", "5.00", LineChange::kQuantity}, "confirm 2.50 10.00"},
      {true, {"A", "4", "", "-1"}, "金额不能小于0@amount"},
      {false, {"A", "4", "-2", ""}, "单价不能小于0@price"}};
  const char* names[] = {"quantity", "price", "amount", "confirm"};
  for (const auto& [on_amount, fields, result] : steps) {
    std::string got;
    auto refusal = RefusalOf([&] {
      auto step =
          on_amount ? backoffice::EnterLineAmount(fields) : backoffice::EnterLinePrice(fields);
      got = std::string(names[static_cast<int>(step.focus)]) + " " + step.fields.price + " " +
            step.fields.amount;
    });
    if (!refusal.message.empty()) got = refusal.message + "@" + refusal.field;
    EXPECT_EQ(got, result) << fields.quantity << "|" << fields.price << "|" << fields.amount;
  }
}

TEST_F(StockBillsTest, ReenteringReplacesALineImportingAddsToItAndTheStockListValuesTheStock) {
  Purchase("A", "5", "2");
  backoffice::SavePurchaseLine({"A", "3", "", "9"});
  EXPECT_EQ(Bill(), "A:3:3:9 ");
  EXPECT_EQ(backoffice::LoadPurchaseLine("A")->amount, "9.00");
  // A goods not on the bill starts at its last import price.
  const auto b = backoffice::LoadPurchaseLine("B");
  EXPECT_EQ(b->quantity + " " + b->price + " " + b->amount, "0.00 1.80 0.00");
  EXPECT_EQ(backoffice::LoadPurchaseLine("Z"), std::nullopt);
  std::ofstream(dir() / "bill.txt") << "条码,数量,金额\r\nA,2,5\r\nZ,1,1\r\nB,0,0,note\r\n"
                                       "K,4,10\r\nK,1,2\r\n";
  auto imported = backoffice::ImportPurchaseText(dir() / "bill.txt");
  EXPECT_EQ(imported.added + imported.merged * 10 + imported.skipped * 100, 2 + 20 + 200);
  // Quantities and amounts add up and the price follows them, also on a typed line.
  EXPECT_EQ(Bill(), "A:5:2.8:14 B:0:0:0 K:5:2.4:12 ");
  backoffice::DeleteBillLine(BillKind::kPurchase, "B");
  EXPECT_EQ(Bill(), "A:5:2.8:14 K:5:2.4:12 ");
  Open().ExecScript(
      "update goodsmaster set importprice = 6 where barcode = 'A';"
      "delete from inventory where barcode = 'K';");
  auto all = backoffice::LoadStockList(std::nullopt);
  ASSERT_EQ(all.rows.size(), 3u);
  // Costs at the average (5 × 10, the fixture's 1.7 × 40); K has no stock row.
  EXPECT_EQ((std::vector<double>{all.rows[0].cost, all.rows[1].cost, all.rows[2].quantity,
                                 all.total_quantity, all.total_cost}),
            (std::vector<double>{50, 1.7 * 40, 0, 50, 50 + 1.7 * 40}));
  Open().Exec("update management set priceforcost = 'recentprice'");
  auto fruit = backoffice::LoadStockList("水果");
  ASSERT_EQ(fruit.rows.size(), 2u);
  EXPECT_EQ(fruit.rows[0].cost, 60);  // import price 6 × 10
  EXPECT_DOUBLE_EQ(fruit.total_cost, 60 + 1.8 * 40);
}

TEST_F(StockBillsTest, ImportsAreAllOrNothingAndNameTheBadLine) {
  Purchase("A", "1", "1");
  const std::string before = Bill();
  std::ofstream(dir() / "bad.txt") << "B,2,4\r\nA,x,5\r\n";
  std::ofstream(dir() / "negative.txt") << "B,2,4\r\nB,-3,5\r\n";
  std::ofstream(dir() / "short.txt") << "Z\r\nB,2\r\n";
  std::ofstream(dir() / "zero.txt") << "B,2,4\r\nA,0,50\r\n";
  std::ofstream(dir() / "below.txt") << "B,2,4\r\nB,2,-5\r\n";
  for (auto [file, message] : {std::pair{"bad.txt", "第 2 行: 数量有误"},
                               std::pair{"negative.txt", "第 2 行: 进货数量必须>=0"},
                               std::pair{"short.txt", "第 2 行: 进货单字段不足"},
                               std::pair{"zero.txt", "第 2 行: 数量为0时不能由金额计算单价"},
                               std::pair{"below.txt", "第 2 行: 金额不能小于0"}}) {
    EXPECT_EQ(ErrorOf([&] { backoffice::ImportPurchaseText(dir() / file); }), message);
    EXPECT_EQ(Bill(), before);
  }
  for (bool bad : {true, false}) {
    files::SpreadsheetWriter sheet(dir() / "bill.xlsx", "进货单",
                                   {{"条码"}, {"数量", true}, {"金额", true}});
    sheet.Row({"B", "4", "10"});
    sheet.Row({"A", "2", "3"});
    if (bad) sheet.Row({"B", "x", "1"});
    sheet.Commit();
    EXPECT_EQ(ErrorOf([&] { backoffice::ImportPurchaseExcel(dir() / "bill.xlsx"); }).empty(), !bad);
    EXPECT_EQ(Bill(), bad ? before : "A:3:1.33:4 B:4:2.5:10 ");
  }
}

TEST_F(StockBillsTest, PurchaseAveragesOverTheStockBeforeTheBill) {
  AddGoods("N", "梨", "水果", 0);
  AddGoods("M", "桃", "水果", -4);
  AddGoods("L", "橙", "水果", 123456.78);
  Open().Exec("update goodsmaster set averageimportprice = 5 where barcode = 'L'");
  Purchase("A", "10", "6");
  Purchase("N", "3", "4.2");
  Purchase("M", "6", "3.1");
  Purchase("L", "10", "6");
  common::SetFixedClock(common::MakeTime(2024, 5, 1, 9, 30, 0));
  backoffice::VerifyPurchaseBill();
  EXPECT_EQ(RowsOf("select g.barcode, quantity, averageimportprice, importprice from goodsmaster "
                   "g join inventory i on i.barcode = g.barcode where g.barcode in ('A','N','M') "
                   "order by g.rowid"),
            "A|20.0|5.5|6.0|\nN|3.0|4.2|4.2|\nM|2.0|3.1|3.1|\n");
  // The stock enters the average as the double it is, not rounded to single precision.
  EXPECT_EQ(Number("select averageimportprice from goodsmaster where barcode = 'L'"),
            (5 * 123456.78 + 6.0 * 10) / (123456.78 + 10));
  EXPECT_EQ(RowsOf("select (select count(*) from import), count(*), min(confirmdate), "
                   "max(confirmdate) from importbak"),
            "0|4|2024-05-01 09:30:00|2024-05-01 09:30:00|\n");
}

// The amount is what a line cost; an emptied stock has nothing to average over, so the
// average must survive it, never 0 or NULL.
TEST_F(StockBillsTest, VerificationBooksTheAmountAndNeverLosesTheAverage) {
  AddGoods("N", "梨", "水果", 0);
  AddGoods("M", "桃", "水果", -4);
  Open().ExecScript(
      "update goodsmaster set averageimportprice = 2, importprice = 2 where barcode = 'A';"
      // Lines of an older file: one without an amount, one taking B's 40 units away.
      "insert into import values ('N', 2, 3, null), ('B', -40, 6, -240);");
  Purchase("M", "4", "3");  // brings M's stock of -4 to 0
  std::ofstream(dir() / "bill.txt") << "A,10,20\r\nA,10,50\r\n";
  backoffice::ImportPurchaseText(dir() / "bill.txt");
  EXPECT_EQ(Bill(), "N:2:3:6 B:-40:6:-240 M:4:3:12 A:20:3.5:70 ");
  backoffice::VerifyPurchaseBill();
  // A: (10 × 2.00 + 70.00) ÷ 30.
  EXPECT_EQ(RowsOf("select g.barcode, quantity, averageimportprice, importprice from goodsmaster "
                   "g join inventory i on i.barcode = g.barcode where g.barcode <> 'K' "
                   "order by g.barcode"),
            "A|30.0|3.0|3.5|\nB|0.0|1.7|6.0|\nM|0.0|3.0|3.0|\nN|2.0|3.0|3.0|\n");
  EXPECT_EQ(RowsOf("select barcode, importvalue from importbak order by barcode"),
            "A|70.0|\nB|-240.0|\nM|12.0|\nN|6.0|\n");
}

TEST_F(StockBillsTest, CombinedGoodsMoveTheirComponentsAndNoPrice) {
  // 1.005 is listed as 1.01: A gains 1.01 × 3, B 1.01 × 0.333 = 0.34 (to the fen).
  Open().Exec("insert into import values ('K', 1.005, 20, 20.1)");
  Purchase("A", "10", "6");
  backoffice::VerifyPurchaseBill();
  EXPECT_EQ((std::vector<double>{Stock("A"), Stock("B"), Stock("K")}),
            (std::vector<double>{10 + 3.03 + 10, 40.34, 0}));
  // The component's average is taken over its 10 units from before, not over 13.03.
  EXPECT_EQ(Stored("averageimportprice", "A"), "5.5");
  EXPECT_EQ(Stored("importprice", "B") + Stored("importprice", "K"), "1.81.8");
  backoffice::SaveReturnLine({"K", "2", "20", ""});
  backoffice::SaveReturnLine({"A", "30", "6", ""});
  backoffice::VerifyReturnBill();
  EXPECT_DOUBLE_EQ(Stock("A"), 23.03 - 6 - 30);  // a return larger than the stock
  EXPECT_DOUBLE_EQ(Stock("B"), 40.34 - 0.67);
  EXPECT_EQ(Stored("averageimportprice", "A"), "5.5");
  EXPECT_EQ(Count("select count(*) from returnbak where returnprice = 6"), 1);
  EXPECT_EQ(Count("select count(*) from return"), 0);
}

TEST_F(StockBillsTest, AFailingVerificationChangesNothingAndLeavesTheBillOpen) {
  Purchase("A", "10", "6");
  Purchase("B", "5", "2");
  backoffice::SaveReturnLine({"A", "1", "6", ""});
  backoffice::SaveReturnLine({"B", "1", "2", ""});
  Open().ExecScript(
      "create trigger refuse after update on inventory when new.barcode = 'B' "
      "begin select raise(abort, 'injected'); end;");
  for (BillKind kind : {BillKind::kPurchase, BillKind::kReturn}) {
    EXPECT_THROW(backoffice::VerifyBill(kind), store::DbError);
    EXPECT_EQ(Stock("A"), 10);
  }
  EXPECT_EQ(Stored("averageimportprice", "A"), "5.0");
  EXPECT_EQ(Count("select count(*) from import") + Count("select count(*) from return"), 4);
  EXPECT_EQ(Count("select count(*) from importbak") + Count("select count(*) from returnbak"), 0);
  // A line whose goods was deleted meanwhile is named, and nothing moves either.
  Open().ExecScript("drop trigger refuse; delete from goodsmaster where barcode = 'B';");
  EXPECT_EQ(ErrorOf(backoffice::VerifyPurchaseBill), "条码 B 的商品已不存在,请删除此行后验收");
  EXPECT_EQ(Stock("A"), 10);
  EXPECT_EQ(Bill(), "A:10:6:60 B:5:2:10 ");
}

}  // namespace
