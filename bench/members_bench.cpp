// members_bench: does the member list open at once with 100 000 members, and does a batch
// top-up of 10 000 members keep pace? Each figure is printed beside the raw SQLite work it
// cannot avoid, measured in the same run on the same file: the bare selects stepped to their
// end for the list; for the top-up, the same history rows and balance updates written by
// hand in one transaction with prepared statements.

#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/backoffice/members/member_master.h"
#include "core/backoffice/members/top_up.h"
#include "core/store/database.h"
#include "figures.h"
#include "measure.h"
#include "synthetic.h"
#include "ui/backoffice/members/MemberListModel.h"

namespace {

namespace fs = std::filesystem;
using bench::Figure;
using bench::MedianTiming;

constexpr std::int64_t kMembers = 100'000;
constexpr std::int64_t kBatch = 10'000;
constexpr int kPaintedRows = 40;  // about a screenful

std::int64_t g_sink = 0;

std::string MemberId(std::int64_t i) {
  char id[16];
  std::snprintf(id, sizeof id, "V%07lld", static_cast<long long>(i));
  return id;
}

// members stored-value members with phone and identity card, as a shop's file would hold them.
void AddMembers(store::Database& db, std::int64_t members) {
  store::Transaction tx(db);
  store::Statement insert = db.Query(
      "insert into membermaster (memberid,membername,membersex,memberpid,memberphone,"
      "memberaddress,memberpointsmode,memberpointsvalue,depositmode,depositvalue,memberpw,"
      "dismode,disrate,disondis,birthday) values (?,?,'女',?,?,'北京市朝阳区',"
      "'是',?,'是',?,'','会员折扣',0.95,'否','1990-01-01')");
  for (std::int64_t i = 0; i < members; ++i) {
    insert.Reset();
    insert.BindAll(MemberId(i), "会员" + std::to_string(i), "1101011990" + std::to_string(i),
                   "139" + std::to_string(10'000'000 + i), static_cast<double>(i % 1000),
                   static_cast<double>(i % 500));
    insert.Run();
  }
  tx.Commit();
}

void BareSelect(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db));
  }
  std::unique_ptr<sqlite3_stmt, store::StatementDeleter> statement(raw);
  while (sqlite3_step(raw) == SQLITE_ROW) ++g_sink;
}

// The list's model filled, then the cells of the first screenful formatted as the view asks.
void FillAndPaint(ui::MemberListModel& model, std::vector<backoffice::MemberListEntry> entries) {
  model.SetEntries(std::move(entries));
  for (int row = 0; row < std::min(kPaintedRows, model.rowCount()); ++row) {
    for (int column = 0; column < ui::MemberListModel::kColumnCount; ++column) {
      g_sink += model.data(model.index(row, column)).toString().size();
    }
  }
}

// The top-up's writes by hand: one history row and one balance update per member.
void BareTopUp(const fs::path& db_file, const std::vector<std::string>& ids) {
  store::Database db(db_file);
  store::Transaction tx(db);
  store::Statement history = db.Query(
      "insert into depositbak (memberid,depositvalue,confirmdate) values "
      "(?,100,'2024-05-06 10:00:00')");
  store::Statement balance = db.Query(
      "update membermaster set depositvalue = ifnull(depositvalue,0) + 100 where memberid = ?");
  for (const std::string& id : ids) {
    history.Reset();
    history.Bind(1, id);
    history.Run();
    balance.Reset();
    balance.Bind(1, id);
    balance.Run();
  }
  tx.Commit();
}

bool Run(const fs::path& dir) {
  const auto start = std::chrono::steady_clock::now();
  bench::CreateSyntheticDatabase(dir, {200, 0});
  const fs::path db_file = dir / "kasso.db";
  store::Database open(db_file);
  AddMembers(open, kMembers);
  std::printf("generated %lld members in %.2f s\n", static_cast<long long>(kMembers),
              bench::SecondsSince(start));
  store::SetDataDirectory(dir);
  std::vector<Figure> figures;

  ui::MemberListModel model(nullptr);
  Figure list{"open the member list (query, model, paint)", {}, {}, 0.3};
  list.op = MedianTiming([&] { FillAndPaint(model, backoffice::LoadMembers()); });
  list.raw = MedianTiming([&] {
    BareSelect(open.handle(), "select rowid,memberid,membername from membermaster order by rowid");
    BareSelect(open.handle(),
               "select rowid,memberid,membername,membersex,memberpid,memberphone,depositmode,"
               "depositvalue,memberpointsmode,memberpointsvalue,dismode,disrate,disondis,"
               "birthday,memberaddress from membermaster where rowid in (select rowid from "
               "membermaster order by rowid limit 256)");
  });
  figures.push_back(list);

  // Every tenth member makes the batch.
  std::vector<std::string> ids;
  for (std::int64_t i = 0; i < kBatch; ++i) ids.push_back(MemberId(i * (kMembers / kBatch)));
  Figure choice{"choose 10 000 members for a batch", {}, {}, 0};
  choice.op = MedianTiming([&] { backoffice::SaveBatchChoice(ids); });
  choice.raw = MedianTiming([&] {
    store::Database db(db_file);
    store::Transaction tx(db);
    db.Exec("delete from memberbatchselect");
    store::Statement insert = db.Query("insert into memberbatchselect (memberid) values (?)");
    for (const std::string& id : ids) {
      insert.Reset();
      insert.Bind(1, id);
      insert.Run();
    }
    tx.Commit();
  });
  figures.push_back(choice);

  Figure top_up{"batch top-up of 10 000 members", {}, {}, 1.0};
  top_up.op = MedianTiming([&] {
    g_sink += static_cast<std::int64_t>(
        backoffice::DepositConfirmation(backoffice::kBatchMember, 100, false, "店长").members);
  });
  top_up.raw = MedianTiming([&] { BareTopUp(db_file, ids); });
  figures.push_back(top_up);

  store::SetDataDirectory({});
  return bench::PrintFigures(std::to_string(kMembers) + " members", figures);
}

}  // namespace

int main(int argc, char** argv) {
  return bench::RunInScratch(
      argc, argv, "tillwise_members_bench",
      [](const fs::path& scratch) { return Run(scratch / "shop"); }, g_sink);
}
