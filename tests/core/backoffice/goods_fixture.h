#pragma once

// A fresh kasso.db with helpers to add goods as stored rows and to read them back.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/backoffice/goods/save_goods.h"
#include "support/test_database.h"

namespace goods_testing {

class NotedUi : public backoffice::GoodsSaveUi {
 public:
  std::vector<std::string> notes;
  std::vector<std::string> questions;
  void Note(std::string_view text) override { notes.emplace_back(text); }
  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return false;
  }
};

class GoodsFixture : public testing_support::TestDatabase {
 protected:
  // A stored goods with a stock row, as any screen of the till would have written it.
  void AddGoods(const std::string& barcode, const std::string& name,
                const std::string& class_name = "饮料", double stock = 10,
                const std::string& combined = "否") {
    store::Database db = Open();
    db.Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
        "givepoints,iscombined) values (?,?,'瓶',?,2.5,2.3,1.8,1.7,'2024-01-01 00:00:00','否',0,"
        "?,1,?)",
        barcode, name, class_name, stock, combined);
    db.Exec("insert into inventory (barcode,quantity) values (?,?)", barcode, stock);
  }

  // A column of one goods as text ("<none>" when the goods is missing). Column names are the
  // test's own fixed texts.
  std::string Stored(const std::string& column, const std::string& barcode) const {
    return Open()
        .QueryText("select " + column + " from goodsmaster where barcode = ?", barcode)
        .value_or("<none>");
  }
  double Stock(const std::string& barcode) const {
    return Number("select quantity from inventory where barcode = ?", barcode);
  }

  // Saved as the editor saves the goods it shows (new, or loaded under that barcode).
  backoffice::GoodsSaved Save(const backoffice::GoodsFields& fields, bool item_library = true) {
    return backoffice::SaveGoods(fields, fields.barcode, item_library, ui_);
  }

  static backoffice::GoodsFields Fields(const std::string& barcode, const std::string& name) {
    backoffice::GoodsFields fields;
    fields.barcode = barcode;
    fields.goodsname = name;
    fields.unit = "瓶";
    fields.class_name = "饮料";
    fields.salesprice = "3.5";
    return fields;
  }

  NotedUi ui_;
};

}  // namespace goods_testing
