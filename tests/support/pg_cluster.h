#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A throwaway PostgreSQL cluster for the tests of the shop server: initdb in a temporary
// folder, the server listening only on a Unix socket there, stopped and removed when the test
// program ends. Run as root (as CI does) it runs the server as the user nobody, which
// PostgreSQL requires. Needs the PostgreSQL server binaries (scripts/setup installs them);
// a missing one fails the test, it never skips it.
class PgCluster {
 public:
  // The one cluster of this test program, started on first use.
  static PgCluster& Shared();
  ~PgCluster();

  // A new empty database on the cluster, and its connection string.
  std::string NewDatabase();

  // Stops the server at once (as a crash or a pulled cable would) and starts it again.
  void Stop();
  void Start();

 private:
  PgCluster();
  std::string ConnInfo(const std::string& database) const;
  void RunAsOwner(const std::string& command) const;

  std::filesystem::path dir_;
  std::string bin_;
  bool as_nobody_ = false;
  bool running_ = false;
  int databases_ = 0;
};

}  // namespace testing_support
