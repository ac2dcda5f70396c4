#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The groups of tables the data clear can empty, in the order they are always cleared.
enum class ClearGroup { kSales, kStock, kPurchases, kReturns, kStocktakes, kMembers, kGoods };

// Told after each step of a clear: the text to show (empty when the step has no text of its
// own, so the previous one stays), the steps done so far and the steps of the whole clear.
// The first step is the safety copy; every statement after it is one more.
using ClearProgress = std::function<void(std::string_view text, int done, int total)>;

// The text shown while the safety copy is written.
inline constexpr const char* kSafetyCopyProgressText = "清除前备份";

// Name of the copy written before a clear: "清除前" + the default backup name. It does not
// start with "备份", so pruning the automatic backups neither removes it nor counts it.
std::string SafetyCopyName(const std::tm& time);

// The number of steps a clear of these groups reports (0 when none is chosen).
int ClearStepCount(const std::vector<ClearGroup>& groups);

// Empties the chosen groups, in table order whatever order they are given in. First writes a
// safety copy of kasso.db into the backup folder and returns its path, so a mistaken clear
// can be undone with a restore; with no group chosen it does nothing and returns an empty
// path. All statements run in one transaction: either every chosen group is cleared or none.
// A table that does not exist (a file not yet upgraded) has nothing to clear and is skipped.
// Throws store::DbError when kasso.db cannot be opened, kasso::UserError (with the text to
// show) when the safety copy or the clear fails; in every failure nothing was cleared.
// The clear records itself (actor and groups) in the audit trail, which it never empties.
std::filesystem::path ClearData(const std::vector<ClearGroup>& groups,
                                const ClearProgress& progress = {}, const std::string& actor = {});

}  // namespace app
