#pragma once

// The search prompt's matching, shared by every list that offers "搜索": the first row whose
// text in the chosen column contains the target.

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace reports {

enum class SearchFrom {
  kTop,   // "开始搜索": from the first row
  kNext,  // "下一个": from the row after the selected one (the first when none is)
};

// The rows of a list as the search sees them: how many, and the text of one row in the column
// searched.
struct SearchRows {
  std::size_t count = 0;
  std::function<std::string_view(std::size_t row)> text;
};

// The first row at or after the start whose text contains target (plain substring, case
// sensitive). kind is the caption of the column chosen (empty when none is). Throws
// common::UserError "请选择搜索条件" (no column), "请录入搜索目标" (empty target) or
// "没有符合条件的记录" (no row from the start on matches).
std::size_t SearchList(const SearchRows& rows, std::string_view kind, std::string_view target,
                       SearchFrom from, std::optional<std::size_t> selected);

}  // namespace reports
