#include "core/serversync/sender.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/serversync/pg.h"
#include "core/serversync/records.h"
#include "core/serversync/server_schema.h"
#include "core/serversync/shared_data.h"
#include "core/store/outbox.h"

namespace serversync {
namespace {}  // namespace

std::size_t SendPending(store::Database& db, const SendOptions& options) {
  std::optional<store::ServerLink> link = store::ReadServerLink(db);
  if (!link) throw common::UserError("本机尚未加入总部服务器");
  std::size_t sent = 0;
  try {
    PgConnection conn(link->conninfo);
    RequireSchema(conn);
    RegisterTill(conn, *link);
    for (int number = 1;; ++number) {
      const std::vector<QueuedRecord> batch =
          ReadPendingRecords(db, std::max<std::size_t>(options.batch_size, 1));
      if (batch.empty()) break;
      const std::string json = RecordsJson(batch);
      PgTransaction tx(conn);
      InsertRecords(conn, link->till_id, json);
      if (options.before_commit) options.before_commit(number);
      tx.Commit();
      // Only now is the batch the server's: marking it earlier could lose it.
      store::Transaction mark(db);
      db.Exec("update outbox set sentat = ? where sentat is null and seq <= ?", common::NowText(),
              batch.back().seq);
      db.Exec("update serverlink set lastsent = ?,lasterror = ''", common::NowText());
      mark.Commit();
      sent += batch.size();
    }
    // The alarms of this till as the server has them, for the screens to show.
    const std::int64_t alarms =
        conn.Exec("select count(*) from record_alarms where till_id = $1::uuid", {link->till_id})
            .Int(0, 0);
    db.Exec("update serverlink set lasterror = '',alarms = ?", alarms);
  } catch (const PgError& error) {
    NoteServerError(db, error.what());
    throw;
  } catch (const common::UserError& error) {
    NoteServerError(db, error.what());
    throw;
  }
  return sent;
}

void TestConnection(const std::string& conninfo) {
  PgConnection conn(conninfo);
  RequireSchema(conn);
}

void JoinServer(store::Database& db, const std::string& conninfo, const std::string& shop,
                const std::string& till) {
  if (shop.empty() || till.empty()) throw common::UserError("门店名称和收银机名称不能为空");
  PgConnection conn(conninfo);
  RequireSchema(conn);
  store::WriteServerLink(db, conninfo, shop, till);
  RegisterTill(conn, *store::ReadServerLink(db));
  db.Exec("update serverlink set lasterror = ''");
  // The till's copy of the shop's data: the server's when the shop has some (this till's
  // goods, members and accounts are replaced), else this till's becomes the shop's.
  db.Exec("update serverlink set pulledseq = 0");
  PullChanges(db);
}

SyncStatus ReadSyncStatus(store::Database& db) {
  SyncStatus status;
  std::optional<store::ServerLink> link = store::ReadServerLink(db);
  if (!link) return status;
  status.joined = true;
  status.connected = link->last_error.empty();
  status.pending = db.QueryInt("select count(*) from outbox where sentat is null").value_or(0);
  status.address = MaskPassword(link->conninfo);
  status.last_sent = link->last_sent;
  status.last_error = link->last_error;
  status.alarms = link->alarms;
  return status;
}

std::string StatusText(const SyncStatus& status) {
  if (!status.joined) return "";
  std::string text = !status.connected    ? "总部: 未连接"
                     : status.pending > 0 ? "总部: 待传 " + std::to_string(status.pending) + " 笔"
                                          : "总部: 已同步";
  if (status.alarms > 0) text += " (告警 " + std::to_string(status.alarms) + " 笔)";
  return text;
}

void Backoff::Failed(Clock::time_point now) {
  delay_ = delay_.count() == 0 ? kFirst : std::min(delay_ * 2, kLongest);
  next_ = now + delay_;
}

void Backoff::Succeeded(Clock::time_point now) {
  delay_ = std::chrono::seconds{0};
  next_ = now;
}

}  // namespace serversync
