#include "synthetic.h"

#include <array>
#include <ctime>
#include <random>
#include <stdexcept>
#include <system_error>

#include "core/common/clock.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"
#include "core/store/schema.h"

namespace bench {
namespace {

using lookups::RoundTo;

constexpr std::array<const char*, 8> kClasses = {"饮料", "零食", "粮油",   "日用品",
                                                 "生鲜", "烟酒", "乳制品", "调味品"};
constexpr std::int64_t kDaySeconds = 24 * 3600;
constexpr int kMaxLinesPerBill = 7;

// 1.00 to 50.90, fixed per goods item so journal lines agree with the goods master.
double SyntheticPrice(std::int64_t index) {
  return 1.0 + static_cast<double>((index * 37) % 500) / 10.0;
}

void FillGoods(store::Database& db, std::int64_t count) {
  store::Statement goods = db.Query(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,importprice,"
      "averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,givepoints,iscombined) "
      "values (?,?,?,?,?,?,?,?,?,'否',0,100,1,'否')");
  store::Statement stock = db.Query("insert into inventory (barcode,quantity) values (?,100)");
  for (std::int64_t i = 0; i < count; ++i) {
    const std::string barcode = SyntheticBarcode(i);
    const double price = SyntheticPrice(i);
    const double cost = RoundTo(price * 0.75, 2);
    goods.BindAll(barcode, "商品" + std::to_string(i + 1), "个",
                  kClasses[static_cast<size_t>(i) % kClasses.size()], price,
                  RoundTo(price * 0.95, 2), cost, cost, "2024-01-01 09:00:00");
    goods.Run();
    goods.Reset();
    stock.Bind(1, barcode);
    stock.Run();
    stock.Reset();
  }
}

// Bills as the till commits them: "销售" lines, then the "销售总计" row with the totals, paid
// in cash. Every row goes through one prepared statement; datetimes climb through the days.
void FillJournal(store::Database& db, std::int64_t rows, std::int64_t goods, int days) {
  if (rows == 0) return;
  if (rows < 2 || goods == 0) {
    throw std::invalid_argument("a journal needs goods and at least two rows (a line and a total)");
  }
  store::Statement insert = db.Query(
      "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
      "quantity,price,actualvalue,discountrate,discountvalue,barcode,workno,shiftid,memberid,"
      "paid,change,cardpaid,wipevalue,valuediscount,pricediscount,checkpaid,unionpaid) "
      "values (?,?,?,?,?,?,?,?,?,'1',0,'',?,?,?,?,0,0,?,?)");
  std::tm start_tm = kasso::MakeTime(2024, 1, 1, 0, 0, 0);
  const std::time_t start = std::mktime(&start_tm);
  std::mt19937_64 rng(20240101);
  std::int64_t written = 0;
  for (std::int64_t number = 1; written < rows; ++number) {
    const std::int64_t remaining = rows - written;
    std::int64_t lines = std::min<std::int64_t>(
        1 + static_cast<std::int64_t>(rng() % kMaxLinesPerBill), remaining - 1);
    // Never leave a single row behind: a bill needs a line and its total.
    if (remaining - (lines + 1) == 1) ++lines;
    std::time_t moment = start + static_cast<std::time_t>(written * (days * kDaySeconds) / rows);
    std::tm local{};
    localtime_r(&moment, &local);
    const std::string when = kasso::FormatTime(local, "%Y-%m-%d %H:%M:%S");
    double quantity_total = 0;
    double amount_total = 0;
    for (std::int64_t l = 0; l < lines; ++l) {
      const auto index = static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(goods));
      const auto quantity = static_cast<double>(1 + rng() % 3);
      const double price = SyntheticPrice(index);
      const double amount = RoundTo(price * quantity, 2);
      insert.BindAll(number, "销售", when, quantity, price, amount, 1.0, 0.0,
                     SyntheticBarcode(index), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
      insert.Run();
      insert.Reset();
      quantity_total += quantity;
      amount_total += amount;
    }
    amount_total = RoundTo(amount_total, 2);
    const double paid = static_cast<double>(static_cast<std::int64_t>(amount_total / 10) + 1) * 10;
    insert.BindAll(number, "销售总计", when, quantity_total, 0.0, amount_total, 0.0, 0.0, "", paid,
                   RoundTo(paid - amount_total, 2), 0.0, 0.0, 0.0, 0.0);
    insert.Run();
    insert.Reset();
    written += lines + 1;
  }
}

}  // namespace

std::string SyntheticBarcode(std::int64_t index) {
  // Multiplying by a number prime to 10 permutes the ten-digit codes, so no two collide.
  constexpr std::int64_t kCodes = 10'000'000'000LL;
  const std::int64_t code = (index * 2'654'435'761LL + 1'234'567LL) % kCodes;
  std::string digits = "69" + std::to_string(kCodes + code).substr(1);
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * (i % 2 ? 3 : 1);
  return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::filesystem::path CreateSyntheticDatabase(const std::filesystem::path& directory,
                                              SyntheticSize size) {
  std::filesystem::create_directories(directory);
  const std::filesystem::path file = directory / "kasso.db";
  store::CreateNewDatabase(file);
  try {
    store::Database db(file);
    // Bulk loading only: a crash midway just means generating again. The till's own
    // connections keep the rollback journal and synchronous=full.
    db.ExecScript(
        "pragma journal_mode = off; pragma synchronous = off; pragma cache_size = -131072");
    store::Transaction tx(db);
    FillGoods(db, size.goods);
    FillJournal(db, size.journal_rows, size.goods, size.journal_days);
    tx.Commit();
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    throw;
  }
  return file;
}

}  // namespace bench
