#pragma once

// Stored-value top-ups: the entry's checks, the members chosen for a batch, and the booking
// of a top-up with its history rows and its slip.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/devices/slip.h"

namespace backoffice {

// The member text that stands for every member chosen for a batch top-up.
inline constexpr const char* kBatchMember = "*";
// The most one top-up may add (or, negative, take), for one member or for each member of a
// batch.
inline constexpr double kTopUpCeiling = 9900000000.0;

// The member a typed text names: the text itself when it is a member id, else the member whose
// phone or identity-card number it is; "*" stays "*". Throws common::UserError "此会员不存在".
std::string ResolveTopUpMember(const std::string& text);

// The checks of the "确认" button before it records, in its order: the member text must already
// be a member id or "*" ("此会员不存在"; a phone number must have been resolved first), the
// amount a number ("储值金额有误"), not 0 after rounding to the fen ("储值金额不能为0") and not
// beyond kTopUpCeiling either way ("储值金额过大"). Throws common::UserError.
void CheckTopUpEntry(const std::string& member_text, const std::string& amount_text);

// The question Enter on "确认" asks before it records: "会员 张三 储值 100.00, 保存?", for a
// batch "批量储值 3 人, 每人 100.00, 保存?". SaveTopUp's checks run first, so a top-up that
// would be refused is explained instead of asked about: throws common::UserError as SaveTopUp.
std::string TopUpQuestion(const std::string& member_text, const std::string& amount_text);

struct TopUpDone {
  std::string memberid;       // the id recorded ("*" for a batch)
  double amount = 0;          // per member, rounded to the fen
  std::size_t members = 0;    // members topped up
  std::string print_failure;  // why the slip was not printed; empty when it was (or no slip)
  // The slip asked for but not printed (the till prints nothing, or the printer failed), to
  // be shown on the screen instead.
  std::optional<print::Slip> unprinted_slip;
};

// Records one top-up after the checks in order: member text empty ("会员编号不能为空"), no such
// member by id, phone or identity card ("此会员不存在"), not a stored-value member ("此会员不是
// 储值会员"), amount not a number ("储值金额有误"), 0 after rounding ("储值金额不能为0"), beyond
// kTopUpCeiling ("储值金额过大"); then DepositConfirmation under the operator's name. Throws
// common::UserError with nothing recorded, store::DbError.
TopUpDone SaveTopUp(const std::string& member_text, const std::string& amount_text, bool print,
                    const std::string& workno);

// Adds amount (rounded to the fen) to the member's balance, or for "*" to the balance of every
// stored-value member chosen for the batch, writes one depositbak row per member topped up
// with the current time, all in one transaction, then prints the top-up slip naming the
// operator when print is set, by the printer mode of the settings (handing it back unprinted
// when the mode prints nothing or the printer fails). Throws common::UserError
// ("储值金额不能为0", "储值金额过大", "此会员不存在", "此会员不是储值会员",
// "批量储值没有选择储值会员") with nothing recorded, store::DbError.
TopUpDone DepositConfirmation(const std::string& memberid, double amount, bool print,
                              const std::string& operator_name);

// ---- The batch choice ----

// A stored-value member as the batch dialog lists it.
struct BatchCandidate {
  std::string memberid;
  std::string membername;
  std::string membersex;
  std::string memberpid;
  std::string memberphone;
};

// Every stored-value member, in the order they were entered. Throws store::DbError.
std::vector<BatchCandidate> LoadBatchCandidates();

// Makes the batch exactly these members (none: an empty batch), in one transaction. Throws
// store::DbError.
void SaveBatchChoice(const std::vector<std::string>& memberids);

// The members of the batch as stored. Throws store::DbError.
std::vector<std::string> LoadBatchChoice();

}  // namespace backoffice
