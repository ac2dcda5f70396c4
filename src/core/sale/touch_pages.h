#pragma once

// The class and goods buttons of the touch cashier screen, a page at a time: five classes a
// page (beside the fixed "全部") and sixteen goods a page, goods in the order they were entered.
//
// Every page is read with one indexed query that starts right after the last key of the page
// before it and stops after the page and one row more (which tells whether a next page
// exists). Nothing is counted and nothing is skipped row by row, so a page costs the same in a
// shop of 200 goods as in one of 200 000, the last page of a large class included.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/database.h"

namespace sale {

inline constexpr int kClassPageSize = 5;
inline constexpr int kGoodsPageSize = 16;
inline constexpr std::string_view kAllClasses = "全部";

// A goods button: the name it shows and the barcode it sells, so that of two goods with the
// same name each button sells its own.
struct GoodsButton {
  std::string barcode;
  std::string goodsname;
};

// Where the cashier is in the class and goods pages. Goods without a class (empty or NULL)
// are found under "全部" only.
class TouchPages {
 public:
  // Class page 0, "全部", goods page 0. Throws store::DbError.
  void Open(store::Database& db);

  // Class "下一页" / "上一页": one page on or back when there is one; the goods stay as they are.
  void NextClassPage(store::Database& db);
  void PreviousClassPage(store::Database& db);

  // "全部" (nullopt) or a class button: that class, from its goods page 0.
  void ChooseClass(store::Database& db, std::optional<std::string> goods_class);

  // Goods "下一页" / "上一页", within the current class.
  void NextGoodsPage(store::Database& db);
  void PreviousGoodsPage(store::Database& db);

  // Each method above throws store::DbError and then leaves every page as it was.

  int class_page() const { return class_page_; }
  const std::vector<std::string>& classes() const { return classes_; }
  bool has_next_class_page() const { return has_next_class_; }
  const std::optional<std::string>& current_class() const { return current_class_; }
  int goods_page() const { return goods_page_; }
  const std::vector<GoodsButton>& goods() const { return goods_; }
  bool has_next_goods_page() const { return has_next_goods_; }

 private:
  void ShowClassPage(store::Database& db, int page);
  void ShowGoodsPage(store::Database& db, int page);

  // The key each page starts after: page p of the classes after class_starts_[p] (page 0
  // after ""), page p of the goods after the rowid goods_starts_[p]. Filled as pages are
  // reached, so going back costs what going on did.
  std::vector<std::string> class_starts_;
  std::vector<std::int64_t> goods_starts_;

  int class_page_ = 0;
  std::vector<std::string> classes_;
  bool has_next_class_ = false;
  std::optional<std::string> current_class_;
  int goods_page_ = 0;
  std::vector<GoodsButton> goods_;
  bool has_next_goods_ = false;
};

}  // namespace sale
