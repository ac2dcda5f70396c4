#include "core/backoffice/members/top_up.h"

#include <cmath>
#include <optional>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/devices/slip_printer.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/lookups/operators.h"
#include "core/store/database.h"
#include "core/store/outbox.h"
#include "core/store/yes_no.h"

namespace backoffice {
namespace {

using kasso::Trim;
using kasso::UserError;

// The amount of a top-up as typed: a number, not 0 to the fen, and no further from 0 than the
// ceiling (a negative amount lowers the balance).
double CheckedAmount(const std::string& text) {
  const std::string typed = Trim(text);
  if (!lookups::IsPlainNumber(typed)) throw UserError("储值金额有误");
  // A number, so only its size can make the till's own bounds refuse it.
  const std::optional<double> value = lookups::ReadTypedNumber(typed, lookups::TillNumber::kAmount);
  if (!value) throw UserError("储值金额过大");
  const double amount = lookups::RoundTo(*value, 2);
  if (amount == 0) throw UserError("储值金额不能为0");
  if (std::fabs(amount) > kTopUpCeiling) throw UserError("储值金额过大");
  return amount;
}

std::string Resolve(store::Database& db, const std::string& text) {
  if (text == kBatchMember) return text;
  if (!text.empty() && lookups::HasMember(db, text)) return text;
  std::string id = lookups::MemberIdByPhoneOrCard(db, text);
  if (id.empty() || !lookups::HasMember(db, id)) throw UserError("此会员不存在");
  return id;
}

// The stored-value members a top-up of memberid reaches: the member itself, or for "*" the
// batch's members that are still stored-value members.
constexpr const char* kBatchFilter =
    "from membermaster where depositmode = ? and memberid in "
    "(select memberid from memberbatchselect)";
constexpr const char* kMemberFilter = "from membermaster where depositmode = ? and memberid = ?";

print::Slip ComposeTopUpSlip(store::Database& db, const TopUpDone& done,
                             const std::string& operator_name, const std::string& time,
                             int columns) {
  print::Slip slip;
  slip.columns = columns;
  if (done.memberid == kBatchMember) {
    slip.Text("批量储值", print::Align::kCenter, true);
    slip.Pair("会员人数:", std::to_string(done.members));
    slip.Pair("每人储值:", kasso::Money(done.amount));
    slip.Pair("储值合计:", kasso::Money(done.amount * static_cast<double>(done.members)));
  } else {
    slip.Text("会员储值", print::Align::kCenter, true);
    slip.Pair("会员编号:", print::PrintableText(done.memberid));
    slip.Pair("会员名称:", print::PrintableText(lookups::MemberName(db, done.memberid)));
    slip.Pair("储值金额:", kasso::Money(done.amount));
    slip.Pair("储值余额:", kasso::Money(lookups::MemberBalance(db, done.memberid)));
  }
  slip.Rule();
  slip.Pair("操作员:", print::PrintableText(operator_name));
  slip.Pair("时间:", time);
  return slip;
}

struct CheckedTopUp {
  std::string memberid;
  double amount = 0;
};

// SaveTopUp's checks, in its order, on an open connection.
CheckedTopUp CheckTopUp(store::Database& db, const std::string& member_text,
                        const std::string& amount_text) {
  const std::string text = Trim(member_text);
  if (text.empty()) throw UserError("会员编号不能为空");
  CheckedTopUp checked;
  checked.memberid = Resolve(db, text);
  if (checked.memberid != kBatchMember && !lookups::IsStoredValueMember(db, checked.memberid)) {
    throw UserError("此会员不是储值会员");
  }
  checked.amount = CheckedAmount(amount_text);
  return checked;
}

}  // namespace

std::string ResolveTopUpMember(const std::string& text) {
  store::Database db;
  return Resolve(db, Trim(text));
}

void CheckTopUpEntry(const std::string& member_text, const std::string& amount_text) {
  const std::string member = Trim(member_text);
  if (member != kBatchMember) {
    store::Database db;
    if (member.empty() || !lookups::HasMember(db, member)) {
      throw UserError("此会员不存在");
    }
  }
  CheckedAmount(amount_text);
}

std::string TopUpQuestion(const std::string& member_text, const std::string& amount_text) {
  store::Database db;
  const CheckedTopUp checked = CheckTopUp(db, member_text, amount_text);
  const std::string amount = kasso::Money(checked.amount);
  if (checked.memberid == kBatchMember) {
    const std::int64_t members =
        db.QueryInt(std::string("select count(distinct memberid) ") + kBatchFilter,
                    store::ToYesNo(true))
            .value_or(0);
    return "批量储值 " + std::to_string(members) + " 人, 每人 " + amount + ", 保存?";
  }
  std::string name = lookups::MemberName(db, checked.memberid);
  if (name.empty()) name = checked.memberid;
  return "会员 " + name + " 储值 " + amount + ", 保存?";
}

TopUpDone SaveTopUp(const std::string& member_text, const std::string& amount_text, bool print,
                    const std::string& workno) {
  CheckedTopUp checked;
  std::string operator_name;
  {
    store::Database db;
    checked = CheckTopUp(db, member_text, amount_text);
    operator_name = lookups::OperatorName(db, workno);
  }
  return DepositConfirmation(checked.memberid, checked.amount, print, operator_name);
}

TopUpDone DepositConfirmation(const std::string& memberid, double amount, bool print,
                              const std::string& operator_name) {
  if (!std::isfinite(amount)) throw UserError("储值金额有误");
  TopUpDone done;
  done.memberid = memberid;
  done.amount = lookups::RoundTo(amount, 2);
  if (done.amount == 0) throw UserError("储值金额不能为0");
  if (std::fabs(done.amount) > kTopUpCeiling) throw UserError("储值金额过大");
  const bool batch = memberid == kBatchMember;
  const std::string now = kasso::NowText();
  {
    store::Database db;
    store::Transaction tx(db);
    if (!batch) {
      if (memberid.empty() || !lookups::HasMember(db, memberid)) {
        throw UserError("此会员不存在");
      }
      if (!lookups::IsStoredValueMember(db, memberid)) throw UserError("此会员不是储值会员");
    }
    const std::string filter = batch ? kBatchFilter : kMemberFilter;
    store::Statement history = db.Query(
        "insert into depositbak (memberid,depositvalue,confirmdate) select distinct memberid,?,? " +
        filter);
    history.BindAll(done.amount, now, store::ToYesNo(true));
    if (!batch) history.Bind(4, memberid);
    history.Run();
    done.members = static_cast<std::size_t>(sqlite3_changes(db.handle()));
    if (done.members == 0) throw UserError("批量储值没有选择储值会员");
    store::Statement balance = db.Query(
        "update membermaster set depositvalue = ifnull(depositvalue,0) + ? where rowid in "
        "(select rowid " +
        filter + ")");
    balance.BindAll(done.amount, store::ToYesNo(true));
    if (!batch) balance.Bind(3, memberid);
    balance.Run();
    store::QueueForServer(db, store::OutboxKind::kTopUp, now);
    tx.Commit();
  }
  if (print) {
    print::SlipDelivery delivery =
        print::PrintOrKeepSlip("储值小票打印失败", [&](store::Database& db, int columns) {
          return ComposeTopUpSlip(db, done, operator_name, now, columns);
        });
    done.print_failure = std::move(delivery.failure);
    done.unprinted_slip = std::move(delivery.unprinted);
  }
  return done;
}

std::vector<BatchCandidate> LoadBatchCandidates() {
  store::Database db;
  store::Statement s = db.Query(
      "select memberid,membername,membersex,memberpid,memberphone from membermaster "
      "where depositmode = ? order by rowid",
      store::ToYesNo(true));
  std::vector<BatchCandidate> candidates;
  while (s.Step()) candidates.push_back({s.Text(0), s.Text(1), s.Text(2), s.Text(3), s.Text(4)});
  return candidates;
}

void SaveBatchChoice(const std::vector<std::string>& memberids) {
  store::Database db;
  store::Transaction tx(db);
  db.Exec("delete from memberbatchselect");
  store::Statement insert = db.Query("insert into memberbatchselect (memberid) values (?)");
  for (const std::string& id : memberids) {
    insert.Reset();
    insert.Bind(1, id);
    insert.Run();
  }
  tx.Commit();
}

std::vector<std::string> LoadBatchChoice() {
  store::Database db;
  store::Statement s = db.Query("select memberid from memberbatchselect order by rowid");
  std::vector<std::string> ids;
  while (s.Step()) ids.push_back(s.Text(0));
  return ids;
}

}  // namespace backoffice
