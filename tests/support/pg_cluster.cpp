#include "support/pg_cluster.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <stdexcept>

#include "core/serversync/pg.h"

namespace testing_support {
namespace {

std::string FindServerBinaries() {
  if (const char* bin = std::getenv("TILLWISE_PG_BIN"); bin != nullptr && bin[0] != '\0') {
    return bin;
  }
  for (int version = 17; version >= 12; --version) {
    std::filesystem::path bin = "/usr/lib/postgresql/" + std::to_string(version) + "/bin";
    if (std::filesystem::exists(bin / "initdb")) return bin.string();
  }
  throw std::runtime_error(
      "PostgreSQL server binaries not found (install postgresql; scripts/setup does)");
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

PgCluster& PgCluster::Shared() {
  static PgCluster cluster;
  return cluster;
}

PgCluster::PgCluster() : bin_(FindServerBinaries()) {
  std::random_device random;
  dir_ = std::filesystem::temp_directory_path() /
         ("tillwise-pg-" + std::to_string(getpid()) + "-" + std::to_string(random() % 100000));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  as_nobody_ = geteuid() == 0;
  if (as_nobody_) {
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) throw std::runtime_error("no user nobody to run PostgreSQL as");
    if (chown(dir_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
      throw std::runtime_error("cannot give " + dir_.string() + " to nobody");
    }
  }
  RunAsOwner(Quoted(bin_ + "/initdb") + " -D " + Quoted((dir_ / "data").string()) +
             " -U tillwise -A trust -E UTF8 --locale=C --no-sync >" +
             Quoted((dir_ / "initdb.log").string()) + " 2>&1");
  Start();
}

PgCluster::~PgCluster() {
  try {
    if (running_) Stop();
  } catch (const std::exception&) {
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void PgCluster::RunAsOwner(const std::string& command) const {
  const std::string line = as_nobody_ ? "runuser -u nobody -- sh -c " + Quoted(command) : command;
  if (std::system(line.c_str()) != 0) {
    throw std::runtime_error("failed: " + command + " (see " + dir_.string() + ")");
  }
}

void PgCluster::Start() {
  // No TCP at all: the socket lives in the temporary folder, so runs never meet. Without
  // fsync the files still outlive a server stopped at once (the machine stays up); commits
  // stay synchronous, or such a stop would lose what the server had confirmed.
  const std::string options =
      "-k " + dir_.string() + " -c listen_addresses= -c fsync=off -c full_page_writes=off";
  RunAsOwner(Quoted(bin_ + "/pg_ctl") + " -D " + Quoted((dir_ / "data").string()) + " -o \"" +
             options + "\" -l " + Quoted((dir_ / "server.log").string()) +
             " -w -t 60 start >/dev/null");
  running_ = true;
}

void PgCluster::Stop() {
  RunAsOwner(Quoted(bin_ + "/pg_ctl") + " -D " + Quoted((dir_ / "data").string()) +
             " -m immediate -w stop >/dev/null");
  running_ = false;
}

std::string PgCluster::ConnInfo(const std::string& database) const {
  return "host=" + dir_.string() + " user=tillwise dbname=" + database;
}

std::string PgCluster::NewDatabase() {
  const std::string name = "shop" + std::to_string(++databases_);
  serversync::PgConnection admin(ConnInfo("postgres"));
  admin.Exec("create database " + name);
  return ConnInfo(name);
}

}  // namespace testing_support
