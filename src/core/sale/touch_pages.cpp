#include "core/sale/touch_pages.h"

#include <limits>

namespace sale {
namespace {

constexpr std::int64_t kBeforeFirstRow = std::numeric_limits<std::int64_t>::min();

struct ClassPage {
  std::vector<std::string> classes;
  bool has_next = false;
};

// One seek in the class index for each class of the page and one for the class after it.
ClassPage ReadClassPage(store::Database& db, const std::string& after) {
  store::Statement next =
      db.Query("select class from goodsmaster where class > ? order by class limit 1");
  ClassPage page;
  std::string key = after;
  for (int i = 0; i <= kClassPageSize; ++i) {
    next.Reset();
    next.Bind(1, key);
    if (!next.Step()) return page;
    key = next.Text(0);
    if (i == kClassPageSize) {
      page.has_next = true;
    } else {
      page.classes.push_back(key);
    }
  }
  return page;
}

struct GoodsPage {
  std::vector<GoodsButton> goods;
  std::int64_t last_rowid = 0;
  bool has_next = false;
};

// One range read of the goods table (all goods) or of the class index (class, rowid).
GoodsPage ReadGoodsPage(store::Database& db, const std::optional<std::string>& goods_class,
                        std::int64_t after) {
  store::Statement rows =
      goods_class
          ? db.Query(
                "select rowid,barcode,goodsname from goodsmaster where class = ? and rowid > ? "
                "order by rowid limit ?",
                *goods_class, after, kGoodsPageSize + 1)
          : db.Query(
                "select rowid,barcode,goodsname from goodsmaster where rowid > ? "
                "order by rowid limit ?",
                after, kGoodsPageSize + 1);
  GoodsPage page;
  while (rows.Step()) {
    if (static_cast<int>(page.goods.size()) == kGoodsPageSize) {
      page.has_next = true;
      break;
    }
    page.last_rowid = rows.Int(0);
    page.goods.push_back({rows.Text(1), rows.Text(2)});
  }
  return page;
}

}  // namespace

void TouchPages::Open(store::Database& db) {
  TouchPages opened;
  opened.class_starts_ = {""};
  opened.ShowClassPage(db, 0);
  opened.ChooseClass(db, std::nullopt);
  *this = std::move(opened);
}

// The Show methods change members only after their query succeeded, so a failed read leaves
// the pages as they were.
void TouchPages::ShowClassPage(store::Database& db, int page) {
  ClassPage read = ReadClassPage(db, class_starts_.at(static_cast<size_t>(page)));
  class_page_ = page;
  has_next_class_ = read.has_next;
  classes_ = std::move(read.classes);
  if (has_next_class_ && class_starts_.size() == static_cast<size_t>(page) + 1) {
    class_starts_.push_back(classes_.back());
  }
}

void TouchPages::ShowGoodsPage(store::Database& db, int page) {
  GoodsPage read = ReadGoodsPage(db, current_class_, goods_starts_.at(static_cast<size_t>(page)));
  goods_page_ = page;
  has_next_goods_ = read.has_next;
  goods_ = std::move(read.goods);
  if (has_next_goods_ && goods_starts_.size() == static_cast<size_t>(page) + 1) {
    goods_starts_.push_back(read.last_rowid);
  }
}

void TouchPages::NextClassPage(store::Database& db) {
  if (has_next_class_) ShowClassPage(db, class_page_ + 1);
}

void TouchPages::PreviousClassPage(store::Database& db) {
  if (class_page_ > 0) ShowClassPage(db, class_page_ - 1);
}

void TouchPages::ChooseClass(store::Database& db, std::optional<std::string> goods_class) {
  TouchPages chosen = *this;
  chosen.current_class_ = std::move(goods_class);
  chosen.goods_starts_ = {kBeforeFirstRow};
  chosen.ShowGoodsPage(db, 0);
  *this = std::move(chosen);
}

void TouchPages::NextGoodsPage(store::Database& db) {
  if (has_next_goods_) ShowGoodsPage(db, goods_page_ + 1);
}

void TouchPages::PreviousGoodsPage(store::Database& db) {
  if (goods_page_ > 0) ShowGoodsPage(db, goods_page_ - 1);
}

}  // namespace sale
