#include <gtest/gtest.h>

#include <vector>

#include "core/lookups/bills.h"
#include "core/lookups/goods.h"
#include "core/lookups/members.h"
#include "core/lookups/operators.h"
#include "core/lookups/till_numbers.h"
#include "core/servicelib/kasso_basic.h"
#include "support/test_database.h"

namespace {
using namespace lookups;

class LookupTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(R"sql(
      insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,isscalegoods,
        pluno,givepoints,iscombined) values
        ('6901','可乐','瓶','饮料',3.5,3.2,'否',0,1,'否'),
        ('10001','苹果','斤','生鲜',6.8,0,'是',1,0,'否'),
        ('8001','礼盒','盒','礼品',50,45,'否',0,null,'是'),
        ('6905','可乐','罐','饮料',2.5,2.5,'否',0,1,'否');
      insert into membermaster (memberid,membername,memberpid,memberphone,memberpointsmode,
        memberpointsvalue,depositmode,depositvalue,memberpw,dismode,disrate,disondis) values
        ('M1','张三','110101199001011234','13800000000','是',120.5,'是',88,'1','会员折扣',0.85,'是'),
        ('M2','李四','220101198002022345','13900000000','否',0,'否',0,'','会员价',null,'否');
      insert into operatormaster values ('7','小王','7','收银员'), ('9','临时','9','实习');
    )sql");
  }
};

TEST_F(LookupTest, GoodsMembersAndRights) {
  store::Database db = Open();
  // Goods rows from before the givepoints flag earn points.
  EXPECT_EQ((std::vector<bool>{IsScaleGoods(db, "10001"), IsScaleGoods(db, "6901"),
                               IsCombinedGoods(db, "8001"), GoodsEarnPoints(db, "10001"),
                               GoodsEarnPoints(db, "8001")}),
            (std::vector<bool>{true, false, true, false, true}));
  EXPECT_EQ((std::vector<double>{SalesPrice(db, "6901"), MemberPrice(db, "none")}),
            (std::vector<double>{3.5, 0.0}));
  EXPECT_EQ(GoodsName(db, "8001"), "礼盒");
  EXPECT_EQ(BarcodeOfGoodsName(db, "可乐"), "6901");  // the first entered
  EXPECT_EQ(BarcodeOfGoodsName(db, "无"), "");
  EXPECT_EQ((std::vector<bool>{HasMember(db, "M1"), HasMember(db, "13800000000"),
                               IsStoredValueMember(db, "M1"), IsStoredValueMember(db, "M2"),
                               HasDiscountOnDiscount(db, "M1")}),
            (std::vector<bool>{true, false, true, false, true}));
  EXPECT_EQ(MemberIdByPhoneOrCard(db, "") + MemberIdByPhoneOrCard(db, "000"), "");
  EXPECT_EQ(MemberName(db, "M2") + MemberPriceMode(db, "M2"), "李四会员价");
  // M2 has no rate stored: full price.
  EXPECT_EQ((std::vector<double>{MemberBalance(db, "M1"), MemberPoints(db, "M1"),
                                 MemberDiscountRate(db, "M1"), MemberDiscountRate(db, "M2")}),
            (std::vector<double>{88, 120.5, 0.85, 1.0}));
  EXPECT_EQ(MemberPriceMode(db, "none") + MemberPaneText(db, "none"), "没有优惠普通客户");
  EXPECT_EQ(MemberPaneText(db, "M2"), "[会员名称:李四][优惠方式:会员价]");
  // A discount member without a stored rate pays full price, and the pane says so.
  db.Exec("update membermaster set dismode = '会员折扣', disrate = null where memberid = 'M2'");
  EXPECT_EQ(MemberPaneText(db, "M2"), "[会员名称:李四][优惠方式:会员折扣][折扣率:100%]");
  EXPECT_TRUE(HasRight(db, Right::kSettings, "0") && HasRight(db, Right::kSales, "7"));
  EXPECT_FALSE(HasRight(db, Right::kSettings, "7"));
  EXPECT_FALSE(HasRight(db, Right::kSales, "9"));       // a duty without a rights row
  EXPECT_FALSE(HasRight(db, Right::kSales, "nobody"));  // unknown account
  EXPECT_FALSE(HasRight(db, Right::kSales, "0' or '1'='1"));
  db.Exec("update dutyrights set inquiry = null where operatorduty = '收银员'");
  EXPECT_FALSE(HasRight(db, Right::kInquiry, "7"));
  EXPECT_EQ(OperatorName(db, "7") + OperatorName(db, "0"), "小王管理员");
}

TEST_F(LookupTest, ParkedSalesAndBillChecksFollowTheWorkTables) {
  store::Database db = Open();
  EXPECT_EQ(NextParkedNumber(db), 1);
  db.ExecScript(
      "insert into transactionpendinglist (listnumber,barcode,memberid) "
      "values (3,'6901',''), (5,'6901','M1');");
  EXPECT_EQ(NextParkedNumber(db), 6);
  EXPECT_EQ(ParkedSaleMember(db, 5), "M1");
  EXPECT_EQ(ParkedSaleMember(db, 3), "");
  EXPECT_EQ(ParkedSaleMember(db, 4), "");
  EXPECT_EQ((std::vector<bool>{HasOpenPurchaseBill(db), HasOpenReturnBill(db),
                               HasUnverifiedLines(db, "盘点")}),
            (std::vector<bool>{false, false, false}));
  db.ExecScript(
      "insert into import (barcode,quantity) values ('6901',1);"
      "insert into invcount (barcode) values ('6901');");
  EXPECT_EQ((std::vector<bool>{HasOpenPurchaseBill(db), HasOpenReturnBill(db),
                               HasUnverifiedLines(db, "进货"), HasUnverifiedLines(db, "盘点"),
                               HasUnverifiedLines(db, "返厂"), HasUnverifiedLines(db, "其他")}),
            (std::vector<bool>{true, false, true, true, false, false}));
}

// The service library's calls open the file themselves: one that cannot be read finds nothing,
// and is not created by asking.
TEST_F(LookupTest, TheServiceLibraryFindsNothingInAnUnreadableFile) {
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(servicelib::GetGoodsnameFromBarcode("6901"), "");
  EXPECT_EQ(servicelib::GetMemberName("M1"), "");
  EXPECT_TRUE(servicelib::IfUnConfirmedData("进货"));  // cannot tell, so nothing is closed
  EXPECT_EQ(servicelib::GetTranNo(), 1);
  EXPECT_FALSE(std::filesystem::exists(store::DatabasePath()));
}

}  // namespace
