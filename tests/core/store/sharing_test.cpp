// What a joined till catches of its own writes to shared data, and when it asks the server:
// the gate here is a stand-in that records what it was handed.

#include "core/store/sharing.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/common/error.h"
#include "core/store/outbox.h"
#include "support/test_database.h"

namespace {

class SharingTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    store::Database db = Open();
    db.Exec(
        "insert into goodsmaster (barcode,goodsname,salesprice,memberprice) "
        "values ('A','苹果',2.5,2.5),('B','香蕉',1.25,1.25)");
    db.Exec("insert into inventory (barcode,quantity) values ('A',10),('B',5)");
    db.Exec(
        "insert into membermaster (memberid,membername,depositvalue,memberpointsvalue) "
        "values ('M1','张',30,0)");
    store::WriteServerLink(db, "host=/nowhere", "一号店", "收银一");
    store::SetCommitGate([this](store::Database&, const store::PendingShare& share) {
      handed.push_back(share);
      if (refuse) throw common::UserError("总部未连接,不能修改");
    });
  }
  void TearDown() override {
    store::SetCommitGate({});
    TestDatabase::TearDown();
  }

  std::vector<store::PendingShare> handed;
  bool refuse = false;
};

TEST_F(SharingTest, AnEditOfSharedRowsGoesToTheServerWithItsKeysAndARefusalKeepsNothing) {
  {
    store::Database db = Open();
    store::Transaction tx(db);
    db.Exec("update goodsmaster set salesprice = 3 where barcode = 'A'");
    db.Exec("update goodsmaster set goodsname = goodsname where barcode = 'B'");  // no change
    db.Exec("update goodsmaster set barcode = 'C' where barcode = 'B'");          // a new key
    tx.Commit();
  }
  ASSERT_EQ(handed.size(), 1u);
  std::vector<std::string> keys;
  for (const store::SharedKey& key : handed[0].keys) keys.push_back(key.table + ":" + key.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"goodsmaster:A", "goodsmaster:B", "goodsmaster:C"}));
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = 'A'"), 3);

  refuse = true;
  {
    store::Database db = Open();
    store::Transaction tx(db);
    db.Exec("update goodsmaster set salesprice = 9 where barcode = 'A'");
    EXPECT_THROW(tx.Commit(), common::UserError);
  }
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = 'A'"), 3);
  EXPECT_EQ(handed.size(), 2u);

  // Writes outside a transaction would pass the server by: they are refused.
  EXPECT_THROW(Open().Exec("update goodsmaster set salesprice = 9 where barcode = 'A'"),
               store::DbError);
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = 'A'"), 3);
}

TEST_F(SharingTest, StockAndPointsMovesTravelWithTheRecordAndAPaymentAsksTheServer) {
  {
    store::Database db = Open();
    store::Transaction tx(db);
    db.Exec("update inventory set quantity = quantity - 2 where barcode = 'A'");
    db.Exec("update membermaster set memberpointsvalue = memberpointsvalue + 4");
    db.Exec(
        "insert into transactiondetails (transactionnumber,transactiontype,barcode,quantity) "
        "values (1,'销售','A',2)");
    store::QueueForServer(db, store::OutboxKind::kBill, 1);
    tx.Commit();
  }
  EXPECT_TRUE(handed.empty());  // nothing needed the server at once
  EXPECT_EQ(Open().QueryText("select moves from outbox").value_or(""),
            "[{\"kind\":\"points\",\"key\":\"M1\",\"delta\":4,\"strict\":false},"
            "{\"kind\":\"stock\",\"key\":\"A\",\"delta\":-2,\"strict\":false}]");

  {
    store::Database db = Open();
    store::Transaction tx(db);
    db.Exec("update membermaster set depositvalue = depositvalue - 30");
    db.Exec(
        "insert into transactiondetails (transactionnumber,transactiontype,barcode,quantity) "
        "values (2,'销售','A',1)");
    store::QueueForServer(db, store::OutboxKind::kBill, 2);
    tx.Commit();
  }
  ASSERT_EQ(handed.size(), 1u);
  ASSERT_EQ(handed[0].moves.size(), 1u);
  EXPECT_EQ(handed[0].moves[0].kind, "deposit");
  EXPECT_EQ(handed[0].moves[0].delta, -30);
  EXPECT_TRUE(handed[0].moves[0].strict);
  EXPECT_EQ(handed[0].records.size(), 1u);
}

TEST_F(SharingTest, UndoneSavepointsAndLocalOnlyWritesAreNotSent) {
  {
    store::Database db = Open();
    store::Transaction tx(db);
    {
      store::Transaction inner(db);
      db.Exec("update goodsmaster set salesprice = 7 where barcode = 'A'");
      db.Exec("update inventory set quantity = 0 where barcode = 'A'");
    }  // rolled back
    {
      store::LocalOnly local(db);
      db.Exec("update goodsmaster set salesprice = 8 where barcode = 'B'");
    }
    db.Exec("update goodsmaster set salesprice = 4 where barcode = 'A'");
    tx.Commit();
  }
  ASSERT_EQ(handed.size(), 1u);
  ASSERT_EQ(handed[0].keys.size(), 1u);
  EXPECT_EQ(handed[0].keys[0].key, "A");
  EXPECT_TRUE(handed[0].moves.empty());
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = 'B'"), 8);
  EXPECT_EQ(Number("select quantity from inventory where barcode = 'A'"), 10);
}

TEST_F(SharingTest, ATillThatHasNotJoinedSharesNothing) {
  Open().Exec("delete from serverlink");
  store::Database db = Open();
  store::Transaction tx(db);
  db.Exec("update goodsmaster set salesprice = 5");
  tx.Commit();
  db.Exec("update goodsmaster set salesprice = 6");  // outside a transaction, as ever
  EXPECT_TRUE(handed.empty());
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = 'A'"), 6);
}

}  // namespace
