#pragma once

#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace serversync {

// A failure talking to the shop server: it could not be reached, refused the login, or a
// statement failed. The text is the server's, for the status line and the logs.
class PgError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One statement's result. Columns are read by position, as the statement lists them.
class PgResult {
 public:
  explicit PgResult(PGresult* result) : result_(result) {}
  int Rows() const { return PQntuples(result_.get()); }
  bool IsNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
  std::string Text(int row, int column) const;  // NULL reads as ""
  std::int64_t Int(int row, int column) const;  // NULL reads as 0
  double Double(int row, int column) const;     // NULL reads as 0
  int AffectedRows() const;
  PGresult* get() const { return result_.get(); }

 private:
  struct Clearer {
    void operator()(PGresult* result) const { PQclear(result); }
  };
  std::unique_ptr<PGresult, Clearer> result_;
};

// A value bound to a statement parameter ($1, $2, ...): always sent apart from the SQL text.
class PgValue {
 public:
  PgValue(std::nullptr_t) {}                                       // NOLINT: NULL
  PgValue(std::string_view text) : text_(std::string(text)) {}     // NOLINT
  PgValue(const std::string& text) : text_(text) {}                // NOLINT
  PgValue(const char* text) : text_(std::string(text)) {}          // NOLINT
  PgValue(std::int64_t number) : text_(std::to_string(number)) {}  // NOLINT
  PgValue(int number) : text_(std::to_string(number)) {}           // NOLINT
  PgValue(double number);                                          // NOLINT
  const std::optional<std::string>& text() const { return text_; }

 private:
  std::optional<std::string> text_;
};

// One connection to the shop server for the length of one operation; closed when it goes.
// The connection string is libpq's ("host=... dbname=... user=... password=..." or a URI).
class PgConnection {
 public:
  // Gives up after connect_timeout seconds when the string does not say otherwise.
  explicit PgConnection(const std::string& conninfo, int connect_timeout = 5);
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // Runs one statement with its values bound as parameters; throws PgError on failure.
  PgResult Exec(std::string_view sql, const std::vector<PgValue>& values = {});
  // Runs fixed SQL text that may hold several statements and no values.
  void ExecScript(std::string_view sql);

  PGconn* handle() const { return conn_.get(); }

 private:
  struct Closer {
    void operator()(PGconn* conn) const { PQfinish(conn); }
  };
  std::unique_ptr<PGconn, Closer> conn_;
};

// Changes between construction and Commit() are one server transaction; leaving scope without
// Commit() rolls them back. Commit() returns only once the server has committed.
class PgTransaction {
 public:
  explicit PgTransaction(PgConnection& conn);
  PgTransaction(const PgTransaction&) = delete;
  PgTransaction& operator=(const PgTransaction&) = delete;
  ~PgTransaction();
  void Commit();

 private:
  PgConnection& conn_;
  bool open_ = true;
};

// The connection string with any password replaced by "******", for showing on screen.
std::string MaskPassword(const std::string& conninfo);

}  // namespace serversync
