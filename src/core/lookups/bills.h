#pragma once

// The service library's checks of the open back-office bills (purchase, return, stocktake).

#include <string>

namespace servicelib {

// True when no purchase (return) bill waits for verification.
bool ImportListCheck();
bool ReturnListCheck();
// True when the open bill of that kind ("进货", "返厂", "盘点") has lines.
bool IfUnConfirmedData(const std::string& kind);

}  // namespace servicelib
