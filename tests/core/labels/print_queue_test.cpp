#include "core/labels/print_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/labels/batch_select.h"
#include "core/labels/label_template.h"
#include "core/labels/simple_labels.h"
#include "support/test_database.h"

namespace {

using Barcodes = std::vector<std::string>;

class PrintQueueTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(R"sql(
      insert into goodsmaster (barcode,goodsname,unit,class,salesprice,isscalegoods,pluno) values
        ('6901','可乐','瓶','饮料',3.5,'否',0), ('6902','薯片','袋','零食',5,'否',0),
        ('6903','雪碧','瓶','饮料',3,'否',0), ('10001','苹果','斤','生鲜',6.8,'是',7);
      insert into import (barcode,quantity) values ('6901',2), ('6902',0), ('6903',2.5),
        ('10001',-1);
      insert into goodsbatchselect (barcode,quantity) values ('6903',1), ('6901',3);
      insert into itemtemp values ('old');
    )sql");
  }
  Barcodes Fill(const labels::QueueRequest& request) {
    store::Database db = Open();
    const int count = labels::FillPrintQueue(db, request);
    Barcodes queue = Queue();
    EXPECT_EQ(count, static_cast<int>(queue.size()));
    return queue;
  }
  Barcodes Queue() {
    Barcodes queue;
    auto rows = Open().Query("select barcode from itemtemp order by rowid");
    while (rows.Step()) queue.push_back(rows.Text(0));
    return queue;
  }
  std::string FillError(const labels::QueueRequest& request) {
    store::Database db = Open();
    try {
      labels::FillPrintQueue(db, request);
    } catch (const std::exception& error) {
      return error.what();
    }
    return "filled";
  }
};

TEST_F(PrintQueueTest, FourSourcesQueueOneRowPerCheckedLabelAndSimpleLabelsFollowTheirSource) {
  EXPECT_EQ(Fill({"barcode", "6902", "", 3}), (Barcodes{"6902", "6902", "6902"}));
  EXPECT_EQ(Fill({"class", "", "饮料", 2}), (Barcodes{"6901", "6901", "6903", "6903"}));
  // Quantity 2 gives 2 labels, 0 none, 2.5 three, -1 none.
  EXPECT_EQ(Fill({"importlist", "", "", 9}), (Barcodes{"6901", "6901", "6903", "6903", "6903"}));
  EXPECT_EQ(Fill({"range", "", "", 9}), (Barcodes{"6903", "6901", "6901", "6901"}));
  EXPECT_EQ(Fill({"barcode", "6902", "", 0}), Barcodes{});
  EXPECT_EQ(Fill({"class", "", "饮料", 0}), Barcodes{});
  EXPECT_EQ(Fill({"class", "", "没有", 5}), Barcodes{});
  const std::pair<const char*, const char*> refused[] = {
      {"", "请录入数量"},     {"  ", "请录入数量"},     {"3张", "数量录入有误"},
      {"0", "数量必须大于0"}, {"0.9", "数量必须大于0"}, {"-2", "数量必须大于0"},
      {"1e3", "数量录入有误"}};
  for (const auto& [text, message] : refused) {
    EXPECT_EQ(testing_support::ErrorOf([&] { labels::CheckLabelCount(text); }), message) << text;
  }
  EXPECT_EQ(labels::CheckLabelCount("2.7") * 100 + labels::CheckLabelCount("15"), 215);
  store::Database db = Open();
  auto barcodes = [](const std::vector<labels::LabelGoods>& goods) {
    Barcodes out;
    for (const auto& g : goods) out.push_back(g.barcode);
    return out;
  };
  using labels::SimpleSource;
  EXPECT_EQ(barcodes(labels::CollectSimpleLabels(db, "商品签", SimpleSource::kPurchaseBill, "")),
            (Barcodes{"6901", "6901", "6903", "6903", "6903"}));
  EXPECT_EQ(barcodes(labels::CollectSimpleLabels(db, "货架签", SimpleSource::kPurchaseBill, "")),
            (Barcodes{"6901", "6902", "6903", "10001"}));
  EXPECT_EQ(barcodes(labels::CollectSimpleLabels(db, "货架签", SimpleSource::kClass, "饮料")),
            (Barcodes{"6901", "6903"}));
  const auto one = labels::CollectSimpleLabels(db, "商品签", SimpleSource::kBarcode, "6902");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].goodsname, "薯片");
}

TEST_F(PrintQueueTest, RefusedOrFailedFillLeavesTheQueueAsItWas) {
  EXPECT_EQ(FillError({"nothing", "", "", 1}), "未知的打印方式 nothing");
  EXPECT_EQ(FillError({"barcode", "6901", "", 100001}), "标签数量过多,一次最多打印100000张");
  Open().Exec("update import set quantity = 1e9 where barcode = '6902'");
  EXPECT_EQ(FillError({"importlist", "", "", 1}), "标签数量过多,一次最多打印100000张");
  Open().Exec("drop table goodsbatchselect");
  EXPECT_NE(FillError({"range", "", "", 1}), "filled");
  EXPECT_EQ(Queue(), Barcodes{"old"});
}

TEST_F(PrintQueueTest, QueuedLabelsCarryTheirGoodsAndTheSelectionKeepsOneLinePerBarcode) {
  Fill({"range", "", "", 1});
  Open().Exec("insert into itemtemp values ('404')");
  store::Database db = Open();
  const auto queue = labels::LoadPrintQueue(db);
  ASSERT_EQ(queue.size(), 5u);
  EXPECT_EQ(queue[0].goodsname + queue[0].unit + queue[0].goodsclass, "雪碧瓶饮料");
  EXPECT_DOUBLE_EQ(queue[0].salesprice, 3);
  EXPECT_EQ(queue[4].barcode + "|" + queue[4].goodsname, "404|");
  const auto apple = labels::LoadLabelGoods(db, {"10001"});
  EXPECT_EQ(apple[0].isscalegoods + std::to_string(apple[0].pluno), "是7");
  EXPECT_EQ(labels::ListGoodsClasses(db), (Barcodes{"生鲜", "零食", "饮料"}));
  EXPECT_EQ(labels::AddToBatch(db, {"6901", "6902", "6902"}), 1);
  const auto lines = labels::ListBatch(db);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].quantity, 3);  // already there: its count stays
  EXPECT_EQ(lines[2].barcode + lines[2].goodsname + std::to_string(lines[2].quantity), "6902薯片1");
  labels::SetBatchQuantity(db, "6902", 12);
  labels::RemoveFromBatch(db, "6903");
  const auto after = labels::ListBatch(db);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[1].quantity, 12);
  EXPECT_THROW(labels::AddToBatch(db, {}), common::UserError);
  EXPECT_EQ(labels::ListGoodsOfClass(db, "饮料").size(), 2u);
  EXPECT_EQ(labels::ListGoodsOfClass(db, "全部").size(), 4u);
}

}  // namespace
