#pragma once

// The full rows of a long list, read from core a page at a time as rows come into view. The
// list itself holds only what every row needs (its rowid, its key and name); pages already
// read are kept, up to a bound, so scrolling back reads nothing again.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/store/database.h"

namespace ui {

// Row must have a member rowid that is 0 for a row the file no longer has.
template <typename Row>
class PagedRows {
 public:
  using Loader = std::vector<Row> (*)(const std::vector<std::int64_t>& rowids);

  PagedRows(std::size_t page_size, Loader load) : page_size_(page_size), load_(load) {}

  void Clear() { pages_.clear(); }

  // The full row of list row `row`, where rowid_of(i) gives list row i's rowid and count is
  // the list's length; nullptr when the row is gone or the file cannot be read (the list
  // then shows what it holds itself).
  template <typename RowidOf>
  const Row* Find(std::size_t row, std::size_t count, RowidOf rowid_of) const {
    const std::size_t page = row / page_size_;
    auto found = pages_.find(page);
    if (found == pages_.end()) {
      if (pages_.size() >= kCachedPages) pages_.clear();
      const std::size_t first = page * page_size_;
      const std::size_t last = std::min(count, first + page_size_);
      std::vector<std::int64_t> rowids;
      for (std::size_t i = first; i < last; ++i) rowids.push_back(rowid_of(i));
      std::vector<Row> rows;
      try {
        rows = load_(rowids);
      } catch (const store::DbError&) {
        // Left empty: the list shows its own columns alone.
      }
      found = pages_.emplace(page, std::move(rows)).first;
    }
    const std::size_t index = row % page_size_;
    if (index >= found->second.size() || found->second[index].rowid == 0) return nullptr;
    return &found->second[index];
  }

 private:
  // Pages kept at most.
  static constexpr std::size_t kCachedPages = 64;

  std::size_t page_size_;
  Loader load_;
  mutable std::unordered_map<std::size_t, std::vector<Row>> pages_;
};

}  // namespace ui
