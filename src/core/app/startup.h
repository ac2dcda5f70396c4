#pragma once

#include <optional>
#include <string>
#include <vector>

namespace app {

// The fixed password in front of restore, account reset and data clearing.
inline constexpr const char* kAuthorizationPassword = "qorvanep";

// The text that marks this program's processes.
inline constexpr const char* kProgramName = "Tillwise";

// Executable names of all running processes, read from /proc; nullopt when the list
// cannot be read.
std::optional<std::vector<std::string>> RunningProcessNames();

// True when at most one of the named processes contains "Tillwise" (case-sensitive).
bool IsSingleInstance(const std::vector<std::string>& process_names);

// The start-up check: false when another copy runs or the process list cannot be read.
bool CheckSingleInstance();

// Empties lockprocess; an unreadable file is ignored.
void ClearLockProcess();

// Prepares the receipt printer's serial port (9600 8N1); failures are ignored.
void SetUpPrinterPort();

enum class LoginResult { kAccepted, kRefused, kNoDatabase };

// Checks the account and password (exact, case-sensitive). kNoDatabase when kasso.db cannot
// be read, in which case the login dialog does nothing.
LoginResult Login(const std::string& account, const std::string& password);

bool CheckAuthorization(const std::string& password);

// Account "0" gets password "0" and duty "经理", and every duty gets the rights-administration
// right. Throws store::DbError when the file cannot be opened.
void ResetAccountZero();

}  // namespace app
