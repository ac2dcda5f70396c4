#include "core/reports/search_list.h"

#include "core/common/error.h"

namespace reports {

std::size_t SearchList(const SearchRows& rows, std::string_view kind, std::string_view target,
                       SearchFrom from, std::optional<std::size_t> selected) {
  if (kind.empty()) throw common::UserError("请选择搜索条件");
  if (target.empty()) throw common::UserError("请录入搜索目标");
  std::size_t start = 0;
  if (from == SearchFrom::kNext && selected) start = *selected + 1;
  for (std::size_t row = start; row < rows.count; ++row) {
    if (rows.text(row).find(target) != std::string_view::npos) return row;
  }
  throw common::UserError("没有符合条件的记录");
}

}  // namespace reports
