#include "core/app/data_clear.h"

#include <algorithm>
#include <exception>
#include <span>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/store/audit.h"
#include "core/store/database.h"
#include "core/store/outbox.h"
#include "core/store/private_files.h"
#include "core/store/sharing.h"

namespace app {
namespace fs = std::filesystem;
namespace {

struct ClearStatement {
  const char* table;
  const char* sql;
  const char* text;  // "" keeps the previous progress text
};

constexpr ClearStatement kSales[] = {
    {"transactiondetails", "delete from transactiondetails", "销售流水信息"},
    {"shiftsum", "delete from shiftsum", "班结信息"},
};
constexpr ClearStatement kStock[] = {
    {"inventory", "update inventory set quantity = 0", "库存信息"},
};
constexpr ClearStatement kPurchases[] = {
    {"import", "delete from import", ""},
    {"importbak", "delete from importbak", "进货信息"},
};
constexpr ClearStatement kReturns[] = {
    {"return", "delete from return", ""},
    {"returnbak", "delete from returnbak", "返厂信息"},
};
constexpr ClearStatement kStocktakes[] = {
    {"invcount", "delete from invcount", ""},
    {"invcountbak", "delete from invcountbak", "盘点信息"},
};
constexpr ClearStatement kMembers[] = {
    {"membermaster", "delete from membermaster", "会员信息"},
    {"deposit", "delete from deposit", ""},
    {"depositbak", "delete from depositbak", "储值信息"},
    {"pointsreturn", "delete from pointsreturn", "积分回馈信息"},
};
constexpr ClearStatement kGoods[] = {
    {"goodsmaster", "delete from goodsmaster", "商品信息"},
    {"largeclassmaster", "delete from largeclassmaster", "类别信息"},
    {"unitmaster", "delete from unitmaster", "单位信息"},
    {"inventory", "delete from inventory", "库存信息"},
};

std::span<const ClearStatement> StatementsOf(ClearGroup group) {
  switch (group) {
    case ClearGroup::kSales:
      return kSales;
    case ClearGroup::kStock:
      return kStock;
    case ClearGroup::kPurchases:
      return kPurchases;
    case ClearGroup::kReturns:
      return kReturns;
    case ClearGroup::kStocktakes:
      return kStocktakes;
    case ClearGroup::kMembers:
      return kMembers;
    case ClearGroup::kGoods:
      return kGoods;
  }
  return {};
}

// The chosen groups once each, in table order (the enum's order).
std::vector<ClearGroup> InTableOrder(std::vector<ClearGroup> groups) {
  std::sort(groups.begin(), groups.end());
  groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
  return groups;
}

// A path in the backup folder that no earlier safety copy uses, so two clears within one
// second never overwrite the copy of the first.
fs::path UnusedSafetyCopyPath() {
  fs::path folder = BackupFolder();
  store::CreatePrivateFolders(folder);
  std::string name = SafetyCopyName(common::Now());
  fs::path target = folder / name;
  std::string stem = fs::path(name).stem().string();
  for (int i = 2; fs::exists(target); ++i) {
    target = folder / (stem + "-" + std::to_string(i) + ".dat");
  }
  return target;
}

bool TableExists(store::Database& db, const char* table) {
  return db.HasRow("select 1 from sqlite_master where type = 'table' and name = ?", table);
}

}  // namespace

std::string SafetyCopyName(const std::tm& time) { return "清除前" + DefaultBackupName(time); }

int ClearStepCount(const std::vector<ClearGroup>& groups) {
  std::vector<ClearGroup> chosen = InTableOrder(groups);
  if (chosen.empty()) return 0;
  int steps = 1;  // the safety copy
  for (ClearGroup group : chosen) steps += static_cast<int>(StatementsOf(group).size());
  return steps;
}

fs::path ClearData(const std::vector<ClearGroup>& groups, const ClearProgress& progress,
                   const std::string& actor) {
  std::vector<ClearGroup> chosen = InTableOrder(groups);
  if (chosen.empty()) return {};
  const int total = ClearStepCount(chosen);
  auto report = [&](std::string_view text, int done) {
    if (progress) progress(text, done, total);
  };

  store::Database db;  // an unreadable file stops here, before anything is written

  report(kSafetyCopyProgressText, 0);
  fs::path safety_copy;
  try {
    safety_copy = UnusedSafetyCopyPath();
    CopyDatabaseTo(safety_copy);
  } catch (const std::exception&) {
    throw common::UserError("清除前备份失败, 未清除任何数据");
  }
  report("", 1);

  // One transaction for the whole clear: a failure anywhere leaves every table as it was,
  // so the operator never faces a mix of cleared and kept groups and can simply try again.
  try {
    store::Transaction transaction(db);
    // On a till joined to a shop server the shared data is the server's: the clear empties
    // this till's copy only, and the next pull copies it all again.
    store::LocalOnly local(db);
    int done = 1;
    std::string cleared;
    for (ClearGroup group : chosen) {
      for (const ClearStatement& statement : StatementsOf(group)) {
        if (TableExists(db, statement.table)) db.Exec(statement.sql);
        report(statement.text, ++done);
        if (*statement.text) cleared += (cleared.empty() ? "" : ",") + std::string(statement.text);
      }
    }
    // Bill and other numbers start over after a clear: new records must not meet the old
    // ones on the shop server. Queued records keep their own epoch and still go.
    store::RenewTillEpoch(db);
    store::WriteAudit(db, {actor, store::kAuditDataClear, cleared, 0});
    transaction.Commit();
  } catch (const std::exception&) {
    throw common::UserError("数据清除失败, 未清除任何数据");
  }
  return safety_copy;
}

}  // namespace app
