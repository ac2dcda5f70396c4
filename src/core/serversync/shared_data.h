#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "core/store/database.h"
#include "core/store/sharing.h"

namespace serversync {

// What a joined till says when a change needs the shop server and cannot reach it.
inline constexpr const char* kOfflineEditText = "总部未连接,不能修改";
inline constexpr const char* kOfflineStoredValueText =
    "总部未连接,储值卡暂不能付款,请选用其他付款方式";
inline constexpr const char* kShortBalanceText = "储值余额不足";
inline constexpr const char* kBillChangedText = "单据已在其他收银机修改或审核,请重新打开后再试";
inline constexpr const char* kKeyTakenText = "此编号已在其他收银机新增,请重新打开后再试";

// The commit gate of a joined till (see store::SetCommitGate): sends the transaction's changes
// to shared data, its records and their moves to the server in one server transaction, then
// writes what the server made of them (sequence numbers, stock, balances) into the local
// transaction and marks the records sent. Throws common::UserError, and the local transaction
// rolls back, when the server cannot be reached, an open bill's line changed at another till
// meanwhile, another till added a goods or member under the same key first, or a payment is
// more than the balance.
void CommitAtServer(store::Database& db, const store::PendingShare& share);

// Makes every connection this process opens to a joined file go through CommitAtServer.
void InstallCommitGate();

struct PullOptions {
  std::size_t batch_size = 10000;
  int connect_timeout = 5;  // seconds
  // Called with the batch's number from 1 after its rows are written and before the local
  // commit: lets a test stop the process right there.
  std::function<void(int batch)> before_commit;
};

// Brings the till's copy up to the server's: the changes after the last sequence applied, each
// batch in one local transaction with the new position, so a pull cut short keeps whole
// batches only. The first pull of a till (or after a restore or a data clear) copies all of the
// shop's data in one transaction, replacing the till's; when the shop has none yet, this
// till's data becomes the shop's first. Returns the number of keys applied. Throws PgError or
// common::UserError.
std::size_t PullChanges(store::Database& db, const PullOptions& options = {});

// Whether a stored-value payment can be taken now: true on a till that has not joined, else
// whether the server answers within a second (asked when a member's payment opens, so the
// other tenders pay instead of the commit failing).
bool CanSpendStoredValue();

// When the till's copy last caught up with the server ("" before the first time).
std::string LastPulled(store::Database& db);

}  // namespace serversync
