// The shop server from the command line: set it up, join a till to it, send a till's queue.

#include "server_commands.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>

#include "core/common/error.h"
#include "core/serversync/pg.h"
#include "core/serversync/sender.h"
#include "core/serversync/server_schema.h"
#include "core/serversync/shared_data.h"
#include "core/store/database.h"
#include "core/store/file_check.h"
#include "core/store/schema.h"
#include "core/store/sharing.h"

namespace admin {
namespace {

constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

int Usage() {
  std::cerr << "usage:\n" << kServerUsage;
  return kBadArguments;
}

// The till's kasso.db in dir, brought up to date first so that it has the outbox.
std::optional<store::Database> OpenTill(const std::filesystem::path& dir) {
  const std::filesystem::path file = dir / "kasso.db";
  if (store::PrepareDatabase(file) != store::FileState::kReady) {
    std::cerr << "tillwise-admin: " << file.string() << " is missing, damaged or read-only\n";
    return std::nullopt;
  }
  return store::Database(file);
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "till";
  return name;
}

int Init(const std::string& conninfo) {
  serversync::PgConnection conn(conninfo);
  const int version = serversync::InitServerSchema(conn);
  std::cout << "shop server schema at version " << version << "\n";
  return 0;
}

int Join(const std::vector<std::string>& args) {
  if (args.size() < 3) return Usage();
  std::string shop = "本店";
  std::string till = HostName();
  for (std::size_t i = 3; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return Usage();
    if (args[i] == "--shop") {
      shop = args[i + 1];
    } else if (args[i] == "--till") {
      till = args[i + 1];
    } else {
      return Usage();
    }
  }
  std::optional<store::Database> db = OpenTill(args[1]);
  if (!db) return kFailed;
  serversync::JoinServer(*db, args[2], shop, till);
  std::cout << "joined shop \"" << shop << "\" as till \"" << till << "\"\n";
  return 0;
}

int Send(const std::string& dir) {
  std::optional<store::Database> db = OpenTill(dir);
  if (!db) return kFailed;
  const std::size_t sent = serversync::SendPending(*db);
  std::cout << "sent " << sent << " records\n";
  return 0;
}

int Pull(const std::string& dir) {
  std::optional<store::Database> db = OpenTill(dir);
  if (!db) return kFailed;
  const std::size_t applied = serversync::PullChanges(*db);
  std::cout << "applied " << applied << " changes\n";
  return 0;
}

int Status(const std::string& dir) {
  std::optional<store::Database> db = OpenTill(dir);
  if (!db) return kFailed;
  const serversync::SyncStatus status = serversync::ReadSyncStatus(*db);
  if (!status.joined) {
    std::cout << "not joined to a shop server\n";
    return 0;
  }
  std::cout << "server:    " << status.address << "\n"
            << "queued:    " << status.pending << "\n"
            << "last sent: " << (status.last_sent.empty() ? "never" : status.last_sent) << "\n"
            << "updated:   "
            << (serversync::LastPulled(*db).empty() ? "never" : serversync::LastPulled(*db))
            << " (change " << store::ReadPullState(*db).seq << ")\n"
            << "alarms:    " << status.alarms << "\n";
  if (!status.last_error.empty()) std::cout << "error:     " << status.last_error << "\n";
  return 0;
}

}  // namespace

int RunServerCommand(const std::vector<std::string>& args) {
  if (args.size() < 2 || args[1].empty()) return Usage();
  try {
    if (args[0] == "init" && args.size() == 2) return Init(args[1]);
    if (args[0] == "join") return Join(args);
    if (args[0] == "send" && args.size() == 2) return Send(args[1]);
    if (args[0] == "pull" && args.size() == 2) return Pull(args[1]);
    if (args[0] == "status" && args.size() == 2) return Status(args[1]);
  } catch (const std::exception& error) {
    std::cerr << "tillwise-admin: " << error.what() << "\n";
    return kFailed;
  }
  return Usage();
}

}  // namespace admin
