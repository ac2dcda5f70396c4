#pragma once

// Why the database refused a change, in words the cashier can act on.

#include <exception>
#include <string>
#include <string_view>

#include "core/store/database.h"

namespace sale {

inline constexpr std::string_view kDatabaseBusy = "数据库忙，请重试";

// True while another program holds the file locked: trying again later may succeed.
bool IsBusy(const store::DbError& error);

// "数据库只读" for a file that cannot be written, "磁盘已满" for a full disk, "数据库忙，请重试"
// while the file is locked; empty for any other failure.
std::string DatabaseRefusal(const store::DbError& error);

// What the cashier is told when a sale could not be committed: the reason of a
// common::UserError ("储值余额不足", "会员不存在"), DatabaseRefusal's words, else the general
// "流水写入有误".
std::string CommitRefusal(const std::exception& error);

}  // namespace sale
