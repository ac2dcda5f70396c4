#include "core/sale/touch_pages.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_database.h"

namespace {

using Names = std::vector<std::string>;

class TouchPagesTest : public testing_support::TestDatabase {
 protected:
  // Goods named <class><n>, barcode <class>-<n>, in the order given.
  void AddGoodsOfClass(const char* goods_class, int count) {
    store::Database db = Open();
    for (int i = 1; i <= count; ++i) {
      std::string name = goods_class + std::to_string(i);
      db.Exec("insert into goodsmaster (barcode,goodsname,class,salesprice) values (?,?,?,1)",
              std::string(goods_class) + "-" + std::to_string(i), name, goods_class);
    }
  }
  void AddClasses(int count) {
    for (int i = 0; i < count; ++i) AddGoodsOfClass(("C" + std::to_string(10 + i)).c_str(), 2);
  }
  Names GoodsNames() const {
    Names names;
    for (const sale::GoodsButton& button : pages_.goods()) names.push_back(button.goodsname);
    return names;
  }
  template <typename Step, typename... Args>
  void Do(Step step, Args... args) {
    store::Database db = Open();
    (pages_.*step)(db, args...);
  }

  sale::TouchPages pages_;
};

TEST_F(TouchPagesTest, TwelveClassesGiveThreePagesAndNextStopsOnTheLast) {
  AddClasses(12);
  Do(&sale::TouchPages::Open);
  EXPECT_EQ(pages_.classes(), (Names{"C10", "C11", "C12", "C13", "C14"}));
  Do(&sale::TouchPages::NextClassPage);
  EXPECT_EQ(pages_.classes(), (Names{"C15", "C16", "C17", "C18", "C19"}));
  Do(&sale::TouchPages::NextClassPage);
  const auto last = std::make_pair(2, Names{"C20", "C21"});  // three class buttons hidden
  EXPECT_EQ(std::make_pair(pages_.class_page(), pages_.classes()), last);
  Do(&sale::TouchPages::NextClassPage);
  EXPECT_EQ(std::make_pair(pages_.class_page(), pages_.classes()), last);
  for (int i = 0; i < 3; ++i) Do(&sale::TouchPages::PreviousClassPage);
  EXPECT_EQ(pages_.class_page(), 0);
  EXPECT_EQ(pages_.classes().front(), "C10");
  // Paging the classes leaves the goods as they were: all goods, page 0.
  EXPECT_FALSE(pages_.current_class());
  EXPECT_EQ(pages_.goods().size(), 16u);
}

TEST_F(TouchPagesTest, ExactlyTenClassesEndOnPageOne) {
  AddClasses(10);
  // Goods without a class have no class button.
  Open().Exec(
      "insert into goodsmaster (barcode,goodsname,class) values "
      "('n1','无类',null),('n2','空类','')");
  Do(&sale::TouchPages::Open);
  Do(&sale::TouchPages::NextClassPage);
  EXPECT_EQ(std::make_pair(pages_.class_page(), pages_.classes().size()), std::make_pair(1, 5ul));
  EXPECT_FALSE(pages_.has_next_class_page());
}

TEST_F(TouchPagesTest, ThirtyThreeGoodsOfAClassGiveThreePagesAndAClassTapStartsAgain) {
  AddGoodsOfClass("A", 20);
  AddGoodsOfClass("B", 3);
  AddGoodsOfClass("A", 33);  // names A1..A33 again, after B's rows: A holds 53 rows
  store::Database db = Open();
  db.Exec("delete from goodsmaster where class = 'A' and rowid <= 20");
  Do(&sale::TouchPages::Open);
  Do(&sale::TouchPages::ChooseClass, "A");
  EXPECT_EQ(GoodsNames().front() + " " + pages_.goods().front().barcode, "A1 A-1");
  Do(&sale::TouchPages::NextGoodsPage);
  Do(&sale::TouchPages::NextGoodsPage);
  EXPECT_EQ(std::make_pair(pages_.goods_page(), GoodsNames()), std::make_pair(2, Names{"A33"}));
  Do(&sale::TouchPages::NextGoodsPage);
  EXPECT_EQ(pages_.goods_page(), 2);
  Do(&sale::TouchPages::PreviousGoodsPage);
  EXPECT_EQ(GoodsNames().front(), "A17");
  EXPECT_EQ(GoodsNames().size(), 16u);
  Do(&sale::TouchPages::ChooseClass, "B");
  EXPECT_EQ(pages_.goods_page(), 0);
  EXPECT_EQ(GoodsNames(), (Names{"B1", "B2", "B3"}));
  Do(&sale::TouchPages::ChooseClass, std::nullopt);  // "全部": every goods item in entry order
  EXPECT_EQ(GoodsNames().front(), "B1");
  Do(&sale::TouchPages::NextGoodsPage);
  Do(&sale::TouchPages::NextGoodsPage);
  EXPECT_EQ(GoodsNames().size(), 4u);  // 36 goods: 16, 16, 4
  EXPECT_EQ(GoodsNames().back(), "A33");
}

TEST_F(TouchPagesTest, AFailedReadLeavesThePagesAsTheyWere) {
  AddGoodsOfClass("A", 20);
  Do(&sale::TouchPages::Open);
  Do(&sale::TouchPages::NextGoodsPage);
  Open().Exec("alter table goodsmaster rename to goodsgone");
  store::Database db = Open();
  EXPECT_THROW(pages_.ChooseClass(db, "A"), store::DbError);
  EXPECT_THROW(pages_.PreviousGoodsPage(db), store::DbError);
  EXPECT_FALSE(pages_.current_class());
  EXPECT_EQ(pages_.goods_page(), 1);
  EXPECT_EQ(GoodsNames(), (Names{"A17", "A18", "A19", "A20"}));
}

}  // namespace
