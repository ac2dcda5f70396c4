#pragma once

// A fresh kasso.db, an empty sale, and a till whose questions are answered from a script.

#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/common/format.h"
#include "core/sale/current_sale.h"
#include "core/sale/member_pricing.h"
#include "core/sale/process_entry.h"
#include "core/sale/sale_lines.h"
#include "core/sale/sale_ui.h"
#include "support/test_database.h"

namespace sale_testing {

using Texts = std::vector<std::string>;

// The figures of a sale line, in the line list's order.
enum LineField {
  kBarcode,
  kGoodsName,
  kUnit,
  kQuantity,
  kSalesPrice,
  kMemberPrice,
  kFrontPrice,
  kPrice,
  kFrontRate,
  kMemberRate,
  kRate,
  kAmount,
  kDiscountAmount,
};

// Answers the engine's questions from queues filled by the test. A question without a
// scripted answer fails the test and is answered No / cancelled.
class ScriptedSaleUi : public sale::SaleUi {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> yes_no;
  std::deque<std::optional<double>> prices;
  std::deque<std::optional<sale::QuickGoods>> quick_goods;
  std::vector<sale::QuickGoods> quick_goods_offered;
  std::deque<std::optional<std::string>> weights;
  std::vector<std::string> weighed;
  std::deque<std::optional<std::string>> members;

  void Message(std::string_view text) override { messages.emplace_back(text); }

  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    return Next(yes_no, false, "yes/no");
  }
  std::optional<double> EnterPrice() override {
    return Next(prices, std::optional<double>(), "price");
  }
  std::optional<sale::QuickGoods> EnterQuickGoods(const sale::QuickGoods& suggested) override {
    quick_goods_offered.push_back(suggested);
    return Next(quick_goods, std::optional<sale::QuickGoods>(), "quick goods");
  }
  std::optional<std::string> ConfirmWeight(const std::string& goods_name) override {
    weighed.push_back(goods_name);
    return Next(weights, std::optional<std::string>(), "weight");
  }
  std::optional<std::string> SelectMember() override {
    return Next(members, std::optional<std::string>(), "member");
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& queue, T fallback, const char* what) {
    if (queue.empty()) {
      ADD_FAILURE() << "unexpected " << what << " question";
      return fallback;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
  }
};

class RecordingDisplay : public sale::CustomerDisplay {
 public:
  std::vector<std::pair<int, double>> shown;
  void Show(int lamp, double value) override { shown.emplace_back(lamp, value); }
};

struct GoodsRow {
  std::string barcode;
  std::string name;
  double salesprice = 0;
  double memberprice = 0;
  std::string unit = "个";
  std::string isscalegoods = "否";
};

struct MemberRow {
  std::string memberid;
  std::string name;
  std::string dismode = "没有优惠";
  double disrate = 1;
  std::string disondis = "否";
  std::string pointsmode = "否";
  std::string depositmode = "否";
};

class SaleFixture : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    sale_.workno = "0";
    sale::NewSale(sale_);
  }

  void AddGoods(const GoodsRow& goods) {
    store::Database db = Open();
    db.Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
        "givepoints,iscombined) values (?,?,?,'未分类',?,?,0,0,'2024-01-01 00:00:00',?,0,0,1,"
        "'否')",
        goods.barcode, goods.name, goods.unit, goods.salesprice, goods.memberprice,
        goods.isscalegoods);
  }

  void AddMember(const MemberRow& member) {
    store::Database db = Open();
    db.Exec(
        "insert into membermaster (memberid,membername,memberpid,memberphone,memberpointsmode,"
        "memberpointsvalue,depositmode,depositvalue,memberpw,dismode,disrate,disondis) "
        "values (?,?,'','',?,12.5,?,100,'',?,?,?)",
        member.memberid, member.name, member.pointsmode, member.depositmode, member.dismode,
        member.disrate, member.disondis);
  }

  // An empty sale and a fresh till, as for the next customer in the same shop.
  void NextCustomer() {
    sale::NewSale(sale_);
    ui_ = {};
    display_ = {};
  }

  // Scale barcodes as shipped but switched on: flag "2", 5 code and 5 amount digits.
  void UseScaleBarcodes() { Open().Exec("update management set scale = '是'"); }

  // F4 with a scripted member selection.
  void Attach(const std::string& memberid) {
    ui_.members.push_back(memberid);
    sale::AttachMember(sale_, ui_, display_);
  }

  // F4 with a member attached.
  void Detach() {
    ASSERT_TRUE(sale_.HasMember());
    sale::AttachMember(sale_, ui_, display_);
  }

  // Makes the statements named in `when` ("before insert on inventory") fail, so a test can
  // prove that a failure half-way stores nothing.
  void Refuse(const std::string& name, const std::string& when) {
    Open().ExecScript("create trigger " + name + " " + when + " begin select raise(abort, '" +
                      name + "'); end;");
  }

  // Types each text into the entry field in turn, as the cashier would; the last one's result.
  template <typename... More>
  sale::EntryResult Enter(const std::string& text, const More&... more) {
    sale::EntryResult result = sale::ProcessEntry(sale_, text, ui_, display_);
    if constexpr (sizeof...(more) > 0) return Enter(more...);
    return result;
  }
  const sale::SaleLine& Line(size_t index) const { return sale_.lines.at(index); }
  // A figure of a line as the cashier reads it: money and rates to the fen, the quantity with
  // the line's own decimals.
  std::string Column(size_t index, LineField column) const {
    const sale::SaleLine& line = Line(index);
    switch (column) {
      case kBarcode:
        return line.barcode;
      case kGoodsName:
        return line.goods_name;
      case kUnit:
        return line.unit;
      case kQuantity:
        return common::Fixed(line.quantity, line.quantity_decimals);
      case kSalesPrice:
        return common::Money(line.sales_price);
      case kMemberPrice:
        return common::Money(line.member_price);
      case kFrontPrice:
        return common::Money(line.front_price);
      case kPrice:
        return common::Money(line.price);
      case kFrontRate:
        return common::Money(line.front_rate);
      case kMemberRate:
        return common::Money(line.member_rate);
      case kRate:
        return common::Money(line.rate);
      case kAmount:
        return common::Money(line.amount);
      case kDiscountAmount:
        return common::Money(line.discount_amount);
    }
    return {};
  }
  // The figures of several columns of one line, to compare in one expectation.
  Texts Columns(size_t index, std::initializer_list<LineField> columns) const {
    Texts texts;
    for (LineField column : columns) texts.push_back(this->Column(index, column));
    return texts;
  }
  Texts AllColumns(size_t index) const {
    Texts texts;
    for (int column = kBarcode; column <= kDiscountAmount; ++column) {
      texts.push_back(this->Column(index, static_cast<LineField>(column)));
    }
    return texts;
  }
  // The total as the cashier reads it; empty until the sale is totalled.
  std::string Total() const { return sale_.totalled ? common::Money(sale_.total) : ""; }

  sale::CurrentSale sale_;
  ScriptedSaleUi ui_;
  RecordingDisplay display_;
};

}  // namespace sale_testing
