#include "core/reports/search_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_database.h"

namespace {

using reports::SearchFrom;
using reports::SearchList;

class SearchListTest : public ::testing::Test {
 protected:
  std::vector<std::string> names_ = {"可乐", "雪碧", "百事可乐", "Cola", "可乐 大瓶"};
  reports::SearchRows rows_{names_.size(),
                            [this](size_t row) -> std::string_view { return names_[row]; }};

  std::string Failure(std::string_view kind, std::string_view target, SearchFrom from,
                      std::optional<size_t> selected) {
    return testing_support::ErrorOf([&] { SearchList(rows_, kind, target, from, selected); });
  }
};

TEST_F(SearchListTest, FindsFromTheTopOrAfterTheSelectionAndRefusesPastTheLastMatch) {
  EXPECT_EQ(SearchList(rows_, "名称", "可乐", SearchFrom::kTop, 3), 0u);
  EXPECT_EQ(SearchList(rows_, "名称", "可乐", SearchFrom::kNext, std::nullopt), 0u);
  EXPECT_EQ(SearchList(rows_, "名称", "可乐", SearchFrom::kNext, 0), 2u);
  EXPECT_EQ(SearchList(rows_, "名称", "可乐", SearchFrom::kNext, 2), 4u);
  EXPECT_EQ(SearchList(rows_, "名称", "Co", SearchFrom::kTop, std::nullopt), 3u);
  EXPECT_EQ(Failure("", "可乐", SearchFrom::kTop, std::nullopt), "请选择搜索条件");
  EXPECT_EQ(Failure("名称", "", SearchFrom::kTop, std::nullopt), "请录入搜索目标");
  EXPECT_EQ(Failure("名称", "可乐", SearchFrom::kNext, 4), "没有符合条件的记录");
  EXPECT_EQ(Failure("名称", "cola", SearchFrom::kTop, std::nullopt), "没有符合条件的记录");
}

}  // namespace
