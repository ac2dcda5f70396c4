#include "core/backoffice/members/points_feedback.h"

#include "core/backoffice/members/top_up.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/format.h"
#include "core/lookups/goods.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/sale/stock_moves.h"
#include "core/store/database.h"
#include "core/store/outbox.h"

namespace backoffice {
namespace {

using kasso::Trim;
using kasso::ValidationError;
using lookups::RoundTo;
using lookups::TillNumber;

// A typed quantity, rate or points figure: present, a number within what the till holds, and
// not negative (a negative deduction would add points, a negative rate take money, a negative
// gift put goods into stock). Rounded to 2 decimals.
double Figure(const std::string& text, TillNumber kind, const char* missing, const char* wrong,
              const char* field) {
  const std::string typed = Trim(text);
  if (typed.empty()) throw ValidationError(missing, field);
  const std::optional<double> value = lookups::ReadTypedNumber(typed, kind);
  if (!value || RoundTo(*value, 2) < 0) throw ValidationError(wrong, field);
  return RoundTo(*value, 2);
}

// What a checked redemption writes.
struct Booking {
  std::string memberid;
  bool gift = true;
  std::string barcode;
  double quantity = 0;
  double rate = 0;
  double points = 0;
};

Booking Check(store::Database& db, const Redemption& r) {
  Booking b;
  b.memberid = Trim(r.memberid);
  if (b.memberid.empty()) throw ValidationError("请录入会员信息", "memberid");
  if (!lookups::HasMember(db, b.memberid)) {
    throw ValidationError("此会员不存在", "memberid");
  }
  b.gift = r.kind != kRebate;
  if (b.gift) {
    b.barcode = Trim(r.gift_barcode);
    if (b.barcode.empty()) throw ValidationError("请录入赠品条码", "gift_barcode");
    if (!lookups::HasGoods(db, b.barcode)) {
      throw ValidationError("赠品录入有误", "gift_barcode");
    }
    b.quantity = Figure(r.gift_quantity, TillNumber::kQuantity, "请录入赠品数量", "赠品数量有误",
                        "gift_quantity");
  } else {
    if (!lookups::IsStoredValueMember(db, b.memberid)) {
      throw ValidationError("非储值会员,不能返利", "memberid");
    }
    b.rate = Figure(r.rate, TillNumber::kAmount, "请录入返利比率", "返利比率有误", "rate");
  }
  b.points = Figure(r.points, TillNumber::kAmount, "请录入抵扣积分", "抵扣积分有误", "points");
  if (b.points > RoundTo(lookups::MemberPoints(db, b.memberid), 2)) {
    throw ValidationError("抵扣积分不能超过现有积分", "points");
  }
  if (!b.gift && RoundTo(b.points * b.rate, 2) > kTopUpCeiling) {
    throw ValidationError("返利金额过大", "rate");
  }
  return b;
}

void Write(store::Database& db, const Booking& b, const std::string& workno) {
  if (b.gift) {
    // The gift leaves the stock as a sold unit does: a combined goods through its components.
    sale::StockMover(db).Move(b.barcode, -b.quantity, lookups::IsCombinedGoods(db, b.barcode));
  } else {
    db.Exec("update membermaster set depositvalue = ifnull(depositvalue,0) + ? where memberid = ?",
            RoundTo(b.points * b.rate, 2), b.memberid);
  }
  db.Exec(
      "update membermaster set memberpointsvalue = ifnull(memberpointsvalue,0) - ? "
      "where memberid = ?",
      b.points, b.memberid);
  db.Exec(
      "insert into pointsreturn (memberid,giftrebate,giftbarcode,giftquantity,rebaterate,"
      "deductionpoints,workno,transdate) values (?,?,?,?,?,?,?,?)",
      b.memberid, b.gift ? kGift : kRebate, b.barcode, b.quantity, b.rate, b.points, workno,
      kasso::NowText());
  store::QueueForServer(db, store::OutboxKind::kPointsFeedback,
                        static_cast<std::int64_t>(sqlite3_last_insert_rowid(db.handle())));
}

}  // namespace

void RedeemPoints(const Redemption& redemption) {
  try {
    store::Database db;
    // The points are checked and lowered in one transaction, so a sale that credits or spends
    // points meanwhile cannot slip between the check and the booking.
    store::Transaction tx(db);
    const Booking booking = Check(db, redemption);
    Write(db, booking, redemption.workno);
    tx.Commit();
  } catch (const store::DbError&) {
    throw kasso::UserError("积分回馈有误");
  }
}

}  // namespace backoffice
