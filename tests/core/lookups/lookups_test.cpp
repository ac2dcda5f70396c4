#include <gtest/gtest.h>

#include <vector>

#include "core/servicelib/kasso_basic.h"
#include "support/test_database.h"

namespace {
using namespace servicelib;

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
  // Goods rows from before the givepoints flag earn points.
  EXPECT_EQ((std::vector<bool>{IfScaleGoods("10001"), IfScaleGoods("6901"), IfCombinedGoods("8001"),
                               IsGoodsGivePoints("10001"), IsGoodsGivePoints("8001")}),
            (std::vector<bool>{true, false, true, false, true}));
  EXPECT_EQ((std::vector<double>{GetSalesPrice("6901"), GetMemberPrice("none")}),
            (std::vector<double>{3.5, 0.0}));
  EXPECT_EQ(GetGoodsnameFromBarcode("8001"), "礼盒");
  EXPECT_EQ(GetBarcodeFromGoodsName("可乐"), "6901");  // the first entered
  EXPECT_EQ(GetBarcodeFromGoodsName("无"), "");
  EXPECT_EQ(
      (std::vector<bool>{IsMemberExists("M1"), IsMemberExists("13800000000"), IfDepositMember("M1"),
                         IfDepositMember("M2"), IsDisOnDisMember("M1")}),
      (std::vector<bool>{true, false, true, false, true}));
  EXPECT_EQ(GetMemberIdFromPhonePID("") + GetMemberIdFromPhonePID("000"), "");
  EXPECT_EQ(GetMemberName("M2") + GetMemberDismode("M2"), "李四会员价");
  // M2 has no rate stored: full price.
  EXPECT_EQ((std::vector<double>{GetMemberDepositValue("M1"), GetMemberPointsValue("M1"),
                                 GetMemberDisrate("M1"), GetMemberDisrate("M2")}),
            (std::vector<double>{88, 120.5, 0.85, 1.0}));
  EXPECT_EQ(GetMemberDismode("none") + GetMemberInfo("none"), "没有优惠普通客户");
  EXPECT_EQ(GetMemberInfo("M2"), "[会员名称:李四][优惠方式:会员价]");
  // A discount member without a stored rate pays full price, and the pane says so.
  Open().Exec("update membermaster set dismode = '会员折扣', disrate = null where memberid = 'M2'");
  EXPECT_EQ(GetMemberInfo("M2"), "[会员名称:李四][优惠方式:会员折扣][折扣率:100%]");
  EXPECT_TRUE(CheckRights("settings", "0") && CheckRights("sales", "7"));
  EXPECT_FALSE(CheckRights("settings", "7"));
  EXPECT_FALSE(CheckRights("sales", "9"));       // a duty without a rights row
  EXPECT_FALSE(CheckRights("sales", "nobody"));  // unknown account
  EXPECT_FALSE(CheckRights("workno", "0"));      // not a right column
  EXPECT_FALSE(
      CheckRights("settings or 1 from operatormaster a, dutyrights b where a.workno = ? --", "7"));
  EXPECT_FALSE(CheckRights("sales", "0' or '1'='1"));
  Open().Exec("update dutyrights set inquiry = null where operatorduty = '收银员'");
  EXPECT_FALSE(CheckRights("inquiry", "7"));
  EXPECT_EQ(GetOperatorName("7") + GetOperatorNameFromWorkNo("0"), "小王管理员");
}

TEST_F(LookupTest, ParkedSalesAndBillChecksFollowTheWorkTablesAndAnUnreadableFileFindsNothing) {
  EXPECT_EQ(GetMaxHandUpListnumber(), 1);
  Open().ExecScript(
      "insert into transactionpendinglist (listnumber,barcode,memberid) "
      "values (3,'6901',''), (5,'6901','M1');");
  EXPECT_EQ(GetMaxHandUpListnumber(), 6);
  EXPECT_EQ(GetMemberidFromHandUpListLocalFunc(5), "M1");
  EXPECT_EQ(GetMemberidFromHandUpListLocalFunc(3), "");
  EXPECT_EQ(GetMemberidFromHandUpListLocalFunc(4), "");
  EXPECT_EQ((std::vector<bool>{ImportListCheck(), ReturnListCheck(), IfUnConfirmedData("盘点")}),
            (std::vector<bool>{true, true, false}));
  Open().ExecScript(
      "insert into import (barcode,quantity) values ('6901',1);"
      "insert into invcount (barcode) values ('6901');");
  EXPECT_EQ((std::vector<bool>{ImportListCheck(), ReturnListCheck(), IfUnConfirmedData("进货"),
                               IfUnConfirmedData("盘点"), IfUnConfirmedData("返厂"),
                               IfUnConfirmedData("其他")}),
            (std::vector<bool>{false, true, true, true, false, false}));
  std::filesystem::remove(store::DatabasePath());
  EXPECT_FALSE(IfBarcodeExist("6901"));
  EXPECT_FALSE(CheckRights("sales", "0"));
  EXPECT_EQ(GetMemberInfo("M1"), "普通客户");
  EXPECT_FALSE(ImportListCheck());  // cannot tell, so a stocktake is not started
  EXPECT_FALSE(std::filesystem::exists(store::DatabasePath()));
}

}  // namespace
