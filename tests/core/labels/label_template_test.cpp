#include "core/labels/label_template.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "core/labels/template_exchange.h"
#include "support/test_database.h"

namespace {

using labels::LabelTemplate;
using testing_support::FileBytes;

class LabelTemplateTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    db_.emplace(Open());
  }
  LabelTemplate Load(const char* kind) { return labels::LoadTemplate(*db_, kind); }
  void Save(const LabelTemplate& label) { labels::SaveTemplate(*db_, label); }
  std::string Templates() { return testing_support::DumpTables(*db_); }
  std::string ExportError(const std::filesystem::path& file) {
    return testing_support::ErrorOf([&] { labels::ExportTemplates(*db_, file); });
  }
  std::string ImportError(const std::filesystem::path& file) {
    return testing_support::ErrorOf([&] { labels::ImportTemplates(*db_, file); });
  }

  std::optional<store::Database> db_;
};

TEST_F(LabelTemplateTest, DefaultsSavedFieldsAndSettingsComeBackAndAKindWithoutRowsGetsThem) {
  // The shipped positions themselves are proven with the upgrade that lays them out.
  LabelTemplate shelf = Load(labels::kShelfLabel);
  EXPECT_EQ(shelf.labelwidth * 100 + shelf.labelheight, 6035);
  const LabelTemplate goods = Load(labels::kGoodsLabel);
  EXPECT_EQ(goods.labelwidth * 100 + goods.labelheight, 3219);
  EXPECT_EQ(goods.settings.paperkind + goods.settings.printkind, "标签纸barcode");
  EXPECT_EQ(goods.settings.columns * 10 + goods.settings.repeat, 11);
  EXPECT_TRUE(goods.settings.printtitle);
  // Settings never stored read as their defaults.
  Open().Exec("update labeltemplate set paperkind = null, columns = null, printtitle = null");
  const LabelTemplate unset = Load(labels::kShelfLabel);
  EXPECT_EQ(unset.settings.paperkind + std::to_string(unset.settings.columns), "标签纸1");
  EXPECT_TRUE(unset.settings.printtitle);
  LabelTemplate label = Load(labels::kGoodsLabel);
  label.labelwidth = 40;
  label.labelheight = 25;
  label.fields[labels::kPrice] = {55, 65, labels::kSmall, false, 170};
  label.settings = {labels::kA4Paper, "out.pdf", 3,     2.5, 4,    2,
                    labels::kByClass, "饮料",    10.25, 5,   false};
  Save(label);
  const LabelTemplate back = Load(labels::kGoodsLabel);
  EXPECT_EQ(back.labelwidth * 100 + back.labelheight, 4025);
  const auto& price = back.fields[labels::kPrice];
  EXPECT_EQ(price.cx * 1000 + price.cy, 55065);
  EXPECT_EQ(price.fontsize + std::to_string(price.visible) + std::to_string(price.itemwidth),
            "小0170");
  EXPECT_EQ(back.fields[labels::kGoodsName].cx, 5);  // untouched fields stay
  EXPECT_EQ(back.settings.paperkind + back.settings.printername + back.settings.classname,
            "A4纸out.pdf饮料");
  EXPECT_EQ((std::vector<double>{double(back.settings.columns), back.settings.betweenspace,
                                 back.settings.topspace, double(back.settings.printtitle)}),
            (std::vector<double>{3, 2.5, 10.25, 0}));
  // The print settings belong to every row; the shelf label's fields do not change.
  shelf = Load(labels::kShelfLabel);
  EXPECT_EQ(shelf.settings.printername + std::to_string(shelf.labelwidth), "out.pdf60");
  // The class is kept unless the run is by class.
  label.settings.printkind = labels::kByBarcode;
  label.settings.classname = "零食";
  Save(label);
  EXPECT_EQ(Load(labels::kShelfLabel).settings.classname, "饮料");
  Open().Exec("delete from labeltemplate where labelkind = ?", labels::kGoodsLabel);
  label = Load(labels::kGoodsLabel);
  EXPECT_EQ(label.labelwidth * 100 + label.labelheight, 3219);
  EXPECT_EQ(label.fields[labels::kBarcode].cx * 100 + label.fields[labels::kBarcode].cy, 1020);
  label.fields[labels::kBarcode].cx = 77;
  Save(label);
  EXPECT_EQ(Count("select count(*) from labeltemplate where labelkind = ?", labels::kGoodsLabel),
            7);
  EXPECT_EQ(Load(labels::kGoodsLabel).fields[labels::kBarcode].cx, 77);
}

TEST_F(LabelTemplateTest,
       ExchangeFileCarriesEveryRowBothWaysAnOlderFileImportsAndRefusalsChangeNothing) {
  const std::string shipped = Templates();
  const auto file = labels::TemplateExchangeFile();
  EXPECT_EQ(file, dir() / "labelprint.db");
  EXPECT_EQ(ExportError(file), "");
  EXPECT_EQ(ExportError(file), "");  // again: old rows replaced, not doubled
  Open().ExecScript(
      "update labeltemplate set cx = 1, printername = 'other';"
      "insert into labeltemplate (tempname,labelkind) values ('额外','货架签')");
  EXPECT_EQ(ImportError(file), "");
  EXPECT_EQ(Templates(), shipped);
  const auto old = dir() / "old.db";
  store::Database(old, store::OpenMode::kCreate)
      .ExecScript(
          "create table labeltemplate (tempname text,cx integer,cy integer,fontsize text,"
          "visible integer,labelkind text,labelwidth integer,labelheight integer);"
          "insert into labeltemplate values ('售价',45,50,'大',0,'商品签',50,30);");
  EXPECT_EQ(ImportError(old), "");
  const LabelTemplate label = Load(labels::kGoodsLabel);
  EXPECT_EQ(label.labelwidth * 100 + label.fields[labels::kPrice].cx, 5045);
  EXPECT_FALSE(label.fields[labels::kPrice].visible);
  EXPECT_EQ(label.fields[labels::kPrice].itemwidth, 10);  // not in the file: the default
  EXPECT_EQ(label.settings.paperkind, "标签纸");
  const std::string before = Templates();
  const auto missing = dir() / "none.db";
  EXPECT_EQ(ImportError(missing), "找不到模板文件 " + missing.string());
  // Not a database: refused both ways, and its bytes stay.
  const auto junk = dir() / "junk.db";
  std::ofstream(junk) << std::string(4096, 'j');
  EXPECT_NE(ExportError(junk).find("模板导出失败"), std::string::npos);
  EXPECT_EQ(FileBytes(junk), std::string(4096, 'j'));
  EXPECT_NE(ImportError(junk).find("模板文件无法读取"), std::string::npos);
  // A file with an empty table would wipe every template.
  const auto empty = dir() / "empty.db";
  store::Database(empty, store::OpenMode::kCreate).ExecScript("create table labeltemplate (x)");
  EXPECT_EQ(ImportError(empty), "模板文件中没有标签模板");
  EXPECT_EQ(Templates(), before);
  // An export into a folder that does not exist leaves no file behind.
  EXPECT_NE(ExportError(dir() / "no" / "labelprint.db"), "");
  EXPECT_FALSE(std::filesystem::exists(dir() / "no"));
}

TEST_F(LabelTemplateTest, ImportAndSaveRefuseWhatTheDesignerCannotMakeAndChangeNothing) {
  const std::string before = Templates();
  const auto good = dir() / "good.db";
  ASSERT_EQ(ExportError(good), "");
  const std::pair<const char*, const char*> cases[] = {
      {"update labeltemplate set labelwidth = 4294967356", "宽度不能大于210"},
      {"update labeltemplate set labelheight = 9223372036854775807", "高度不能大于160"},
      {"update labeltemplate set columns = 2147483648", "每行列数不能大于100"},
      {"update labeltemplate set linebetweenspace = -0.99", "行间距不能小于0"},
      {"update labeltemplate set cx = 'x1' where rowid = 2", "字段位置不是数字: x1"},
      {"update labeltemplate set fontsize = '特大' where rowid = 3", "字体大小有误: 特大"},
      {"update labeltemplate set tempname = null where rowid = 4", "字段名称有误: "},
  };
  for (const auto& [change, message] : cases) {
    const auto file = dir() / "hostile.db";
    std::filesystem::copy_file(good, file, std::filesystem::copy_options::overwrite_existing);
    store::Database(file).ExecScript(change);
    const std::string error = ImportError(file);
    EXPECT_EQ(error.rfind("模板文件有误,没有导入(", 0), 0u) << error;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  EXPECT_EQ(Templates(), before);
  // The designer's save holds to the same limits.
  LabelTemplate label = Load(labels::kShelfLabel);
  label.settings.columns = 100000;
  EXPECT_EQ(testing_support::ErrorOf([&] { Save(label); }), "每行列数不能大于100");
  label.settings.columns = 3;
  label.fields[labels::kPrice].itemwidth = 171;
  EXPECT_EQ(testing_support::ErrorOf([&] { Save(label); }), "字段长度不能大于170");
  EXPECT_EQ(Templates(), before);
}

}  // namespace
