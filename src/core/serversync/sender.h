#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/store/database.h"

namespace serversync {

struct SendOptions {
  std::size_t batch_size = 500;
  // Called after each batch's server transaction is written and before it commits, with the
  // batch's number from 1: lets a test cut the connection or stop the process right there.
  std::function<void(int batch)> before_commit;
};

// Sends every record the till has queued to the server it joined, in batches, each batch one
// server transaction. A record is marked sent only after its batch's commit came back, so a
// send cut short at any point sends the same records again, and the server keeps one copy of
// each: a record whose key it holds is skipped, or kept aside as an alarm when its content
// differs. Returns how many records went. Throws common::UserError when the till has not
// joined, PgError when the server cannot be reached or fails; the failure's text is kept as
// the till's last error.
std::size_t SendPending(store::Database& db, const SendOptions& options = {});

// Opens a connection with the string and checks the server's schema; throws PgError or
// common::UserError with the reason when either fails.
void TestConnection(const std::string& conninfo);

// Joins the till to the server: checks the connection and the server's schema, then stores the
// connection string, the shop and the till name (making the till id and epoch on a first
// join) and registers the till on the server. From then on every committed record is queued.
void JoinServer(store::Database& db, const std::string& conninfo, const std::string& shop,
                const std::string& till);

// What the cashier screens and the transfer dialog show about the link.
struct SyncStatus {
  bool joined = false;
  bool connected = false;  // the last attempt reached the server
  std::int64_t pending = 0;
  std::string address;     // the connection string with the password masked
  std::string last_sent;   // "" before the first batch
  std::string last_error;  // "" after a success
  std::int64_t alarms = 0;  // records the server kept aside, as of the last send
};

SyncStatus ReadSyncStatus(store::Database& db);

// "总部: 已同步", "总部: 待传 12 笔" or "总部: 未连接", followed by " (告警 2 笔)" while the
// server holds records of this till aside; "" for a till that has not joined.
std::string StatusText(const SyncStatus& status);

// When to try the server again: at once after a success or while it answers, then after 2, 4,
// 8 ... seconds while it does not, never waiting more than a few minutes.
class Backoff {
 public:
  using Clock = std::chrono::steady_clock;
  bool IsDue(Clock::time_point now) const { return now >= next_; }
  void Failed(Clock::time_point now);
  void Succeeded(Clock::time_point now);
  std::chrono::seconds delay() const { return delay_; }

 private:
  static constexpr std::chrono::seconds kFirst{2};
  static constexpr std::chrono::seconds kLongest{300};
  std::chrono::seconds delay_{0};
  Clock::time_point next_{};
};

}  // namespace serversync
