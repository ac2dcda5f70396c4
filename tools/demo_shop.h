#pragma once

#include <filesystem>

#include "core/store/database.h"

namespace demo {

struct DemoShopCounts {
  int goods = 0;
  int members = 0;
  int bills = 0;
};

// The combined goods of the demo shop and the member card numbers it hands out start here.
inline constexpr const char* kGiftBoxBarcode = "8800001";
inline constexpr int kFirstMemberId = 100001;

// Fills a freshly created kasso.db with a small grocery: packaged goods in several classes
// with stock, scale goods of the fresh counter, one combined gift box, members of every
// pricing mode, two cashier accounts and a week of past sales, all in one transaction.
// Dates count back from the clock (common::Now), so a fixed clock gives the same shop.
// Throws std::runtime_error when the file already holds goods, DbError on a database failure;
// either way nothing is written.
DemoShopCounts FillDemoShop(store::Database& db);

// Creates `file` as a new kasso.db holding the demo shop. The file is assembled beside the
// target and renamed into place, so a failure leaves nothing under that name. Throws DbError
// when the file already exists.
DemoShopCounts CreateDemoShop(const std::filesystem::path& file);

}  // namespace demo
