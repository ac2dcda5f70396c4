#include "core/store/legacy_text.h"

#include <gtest/gtest.h>

#include "core/common/text_encoding.h"
#include "core/store/old_schema.h"
#include "core/store/schema.h"
#include "support/test_database.h"

namespace {

std::string Gbk(const char* utf8) { return common::Utf8ToGbk(utf8); }

// A file of the first till version, whose rows are UTF-8 until a test writes GBK into it.
using LegacyTextTest = OldFileTest;

TEST_F(LegacyTextTest, ConvertsOldTextOnceAndKeepsEverythingElse) {
  store::Database db = Open();
  db.Exec(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice) "
      "values ('6910',?,?,?,2)",
      Gbk("矿泉水"), Gbk("瓶"), Gbk("饮料"));
  db.Exec("insert into goodsmaster (barcode,goodsname,unit) values ('6911',?,'kg')",
          std::string("\xFF\xFE\x80"));  // neither UTF-8 nor GBK: kept byte for byte
  db.Exec("insert into inventory values ('6912',?)", Gbk("箱"));  // text in a number column
  db.Exec("create table notes (memo blob, line text)");
  db.Exec("insert into notes values (cast(? as blob),?)", Gbk("原样"), Gbk("备注"));
  EXPECT_TRUE(store::ConvertLegacyText(db));
  EXPECT_EQ(db.QueryText("select goodsname || unit || class from goodsmaster "
                         "where barcode = '6910'"),
            "矿泉水瓶饮料");
  EXPECT_EQ(db.QueryText("select goodsname from goodsmaster where barcode = '6911'"),
            "\xFF\xFE\x80");
  EXPECT_EQ(db.QueryText("select quantity from inventory where barcode = '6912'"), "箱");
  EXPECT_EQ(db.QueryText("select memo || line from notes"), Gbk("原样") + "备注");  // a blob stays
  // Rows that were UTF-8 already are untouched.
  EXPECT_EQ(db.QueryText("select goodsname from goodsmaster where barcode = '6901'"), "可乐");
  EXPECT_EQ(db.QueryText("select operatorduty from operatormaster where workno = '7'"), "收银员");
  EXPECT_EQ(db.QueryDouble("select salesprice from goodsmaster where barcode = '6910'"), 2.0);
  EXPECT_EQ(db.QueryInt("pragma user_version"), store::kUtf8TextVersion);
  // Marked: a second call does not look again.
  db.Exec("update goodsmaster set unit = ? where barcode = '6910'", Gbk("瓶"));
  EXPECT_FALSE(store::ConvertLegacyText(db));
  EXPECT_EQ(db.QueryText("select unit from goodsmaster where barcode = '6910'"), Gbk("瓶"));
}

TEST_F(LegacyTextTest, OnlyWellFormedUtf8IsUtf8AndAUtf8FileIsOnlyMarked) {
  store::Database db = Open();
  // "ü" and "Ω" are UTF-8 letters below U+0800; in a UTF-8 file they stay.
  db.Exec("insert into goodsmaster (barcode,goodsname) values ('6920','Müsli Ω')");
  EXPECT_FALSE(store::ConvertLegacyText(db));
  EXPECT_EQ(db.QueryText("select goodsname from goodsmaster where barcode = '6920'"), "Müsli Ω");
  EXPECT_EQ(db.QueryInt("pragma user_version"), store::kUtf8TextVersion);
  EXPECT_TRUE(store::IsValidUtf8("6901 可乐 ƿ 😀"));
  EXPECT_FALSE(store::IsValidUtf8(Gbk("可乐")));
  EXPECT_FALSE(store::IsValidUtf8("\xC0\x80"));          // overlong NUL
  EXPECT_FALSE(store::IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(store::IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(store::IsValidUtf8("\xE5\x8F"));          // cut short
}

TEST_F(LegacyTextTest, StartUpConvertsBeforeTheUpgradeComparesTexts) {
  {
    store::Database db = Open();
    db.Exec("delete from operatormaster");
    db.Exec("insert into operatormaster values ('0',?,'0',?)", Gbk("老板"), Gbk("经理"));
    db.Exec("update dutyrights set operatorduty = ? where operatorduty = '经理'", Gbk("经理"));
    db.ExecScript(
        "create table labeltemplate (tempname text,cx integer,cy integer,fontsize text,"
        "visible integer,labelkind text,labelwidth integer,labelheight integer)");
    for (const char* kind : {"货架签", "商品签"}) {
      db.Exec("insert into labeltemplate values (?,10,20,'中',1,?,60,35)", Gbk("售价"), Gbk(kind));
    }
  }
  EXPECT_EQ(store::PrepareDatabase(store::DatabasePath()), store::FileState::kReady);
  // Label kinds and duties are recognised: no default labels added, the manager keeps rights.
  store::Database db = Open();
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate"), 2);
  EXPECT_EQ(db.QueryText("select operatorname from operatormaster a join dutyrights b "
                         "on a.operatorduty = b.operatorduty where b.dutyrights = 1"),
            "老板");
}

}  // namespace
