#pragma once

// The lists of the record chooser ("选择"): parked sales, closed shifts, past sales and verified
// stocktakes, each as the columns and shown texts of its rows plus the key the chooser hands
// back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sale {

// The chooser's modes, by the text the screens open it with.
inline constexpr std::string_view kSuspendedBillsMode = "挂单取回";  // key: list number
inline constexpr std::string_view kShiftReceiptsMode = "班结小票";   // key: shift number
inline constexpr std::string_view kSaleReceiptsMode = "结账小票";    // key: transaction number
inline constexpr std::string_view kStocktakesMode = "盘点单";        // key: the confirmation time

struct RecordListColumn {
  std::string caption;
  int width;  // in dialog pixels
  bool right_aligned;
};

struct RecordList {
  std::vector<RecordListColumn> columns;
  std::vector<std::vector<std::string>> rows;  // the texts shown, one per column
  std::vector<std::string> keys;               // the key of each row, as text
};

// Reads the list of one mode. Throws common::UserError with the mode's message when the list
// cannot be read: "班次有误" for the shifts, "数据有误" for the others and unknown modes.
RecordList LoadRecordList(std::string_view mode);

// The stocktakes verified from start to end (datetime texts compared as text, both included),
// oldest first: book, counted and difference quantities summed per stocktake, and its
// confirmation time, which is the key. Throws common::UserError("数据有误") when the list
// cannot be read.
RecordList LoadStocktakeList(const std::string& start, const std::string& end);

// The statement LoadStocktakeList runs, for checks of its plan.
std::string_view StocktakeListStatement();

// A numeric key (list, shift or transaction number); nullopt when the text is not one.
std::optional<std::int64_t> RecordKeyNumber(const std::string& key);

}  // namespace sale
