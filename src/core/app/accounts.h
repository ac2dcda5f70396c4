#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

// The two duties an account can hold.
inline constexpr const char* kManagerDuty = "经理";
inline constexpr const char* kCashierDuty = "收银员";

// The built-in administrator: always there, always a manager, never deleted.
inline constexpr const char* kBuiltInWorkno = "0";

// One login account (an operatormaster row).
struct OperatorRecord {
  std::string workno;
  std::string operatorname;
  std::string operatorpassword;
  std::string operatorduty;
};

// Every account without its password, in stored order. Throws store::DbError.
std::vector<OperatorRecord> ListOperators();

// The account with that work number, its password left empty (only its hash is stored);
// nullopt when there is none. Throws store::DbError.
std::optional<OperatorRecord> LoadOperator(const std::string& workno);

// The work number as it is stored and looked up: trailing blanks do not count.
std::string NormalizeWorkno(const std::string& workno);

enum class SaveResult { kInserted, kUpdated };

// Checks the account in the editor's order and stores it: an existing work number is updated,
// a new one inserted, both in one transaction with the audit row naming the actor. The
// password is stored as its hash; an existing account saved with an empty password keeps the
// one it has. Throws kasso::ValidationError (naming the field
// "workno", "operatorname" or "operatorduty") for a refused account, kasso::UserError when the
// account table cannot be read, store::DbError when the file cannot be opened or written.
SaveResult SaveOperator(const OperatorRecord& record, const std::string& actor = {});

// Removes the account, recording who did. Throws kasso::UserError for the built-in account and
// store::DbError.
void DeleteOperator(const std::string& workno, const std::string& actor = {});

}  // namespace app
