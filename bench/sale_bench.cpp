// sale_bench: does a scan stay instant in a big shop? ProcessEntry of an ordinary barcode
// and of a scale barcode (settings, look-ups, pricing and total included) and
// ApplyMemberPricing over a 200-line sale are timed against a small and a large generated
// database. Beside each runs one raw indexed select by barcode on an already-open
// connection, the SQLite work a scan cannot avoid.

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "core/sale/current_sale.h"
#include "core/sale/member_pricing.h"
#include "core/sale/process_entry.h"
#include "core/sale/sale_lines.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"
#include "figures.h"
#include "measure.h"
#include "silent_ui.h"
#include "synthetic.h"

namespace {

namespace fs = std::filesystem;
using bench::SilentUi;
using Clock = std::chrono::steady_clock;
using bench::Case;
using bench::Measure;
using bench::ScratchDir;
using bench::SecondsSince;

constexpr double kScanLimitMicros = 1000;
constexpr double kTargetRatio = 1.5;
constexpr size_t kSampleCount = 4096;
constexpr int kScaleGoods = 1000;     // scale goods with 5-digit codes in every shop
constexpr size_t kLinesPerSale = 50;  // scans start a new sale after this many lines
constexpr size_t kMemberSaleLines = 200;
constexpr int kUsageError = 2;

// One generated shop: its goods, scale goods and a member-price member, a random sample of
// barcodes, and an open connection for the raw baseline.
struct Shop {
  Shop(std::string name, std::int64_t goods_count) : label(std::move(name)), goods(goods_count) {}
  std::string label;
  std::int64_t goods;
  fs::path dir;
  std::vector<std::string> barcodes;
  std::vector<std::string> scale_barcodes;
  std::unique_ptr<store::Database> open;
};

const std::string& Sample(const std::vector<std::string>& sample, size_t i) {
  return sample[i % sample.size()];
}

// The scan's goods select, prepared, bound and stepped on the open connection.
std::int64_t RawLookup(const Shop& shop, size_t i) {
  const std::string& barcode = Sample(shop.barcodes, i);
  sqlite3* db = shop.open->handle();
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db,
                         "select a.goodsname,a.salesprice,a.unit,a.memberprice from goodsmaster a "
                         "where a.barcode = ?",
                         -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db));
  }
  std::unique_ptr<sqlite3_stmt, store::StatementDeleter> statement(raw);
  sqlite3_bind_text(raw, 1, barcode.data(), static_cast<int>(barcode.size()), SQLITE_STATIC);
  if (sqlite3_step(raw) != SQLITE_ROW) throw std::runtime_error("raw look-up missed " + barcode);
  return sqlite3_column_bytes(raw, 0) + static_cast<std::int64_t>(sqlite3_column_double(raw, 1));
}

// The floor under a member pricing pass: the same look-ups on a freshly opened plain
// connection, one prepared statement, one read transaction, nothing else.
std::int64_t RawPass(const Shop& shop, const sale::CurrentSale& current) {
  sqlite3* raw_db = nullptr;
  const std::string path = (shop.dir / "kasso.db").string();
  if (sqlite3_open_v2(path.c_str(), &raw_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(raw_db);
    throw std::runtime_error("cannot open " + path);
  }
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw_db, sqlite3_close);
  sqlite3_exec(raw_db, "begin", nullptr, nullptr, nullptr);
  sqlite3_stmt* raw = nullptr;
  sqlite3_prepare_v2(raw_db, "select memberprice from goodsmaster where barcode = ?", -1, &raw,
                     nullptr);
  std::unique_ptr<sqlite3_stmt, store::StatementDeleter> statement(raw);
  std::int64_t sum = 0;
  for (const sale::SaleLine& line : current.lines) {
    const std::string& barcode = line.barcode;
    sqlite3_reset(raw);
    sqlite3_bind_text(raw, 1, barcode.data(), static_cast<int>(barcode.size()), SQLITE_STATIC);
    if (sqlite3_step(raw) == SQLITE_ROW) sum += sqlite3_column_int64(raw, 0);
  }
  statement.reset();
  sqlite3_exec(raw_db, "commit", nullptr, nullptr, nullptr);
  return sum;
}

// Scans into one running sale, starting a new one every kLinesPerSale lines (untimed work
// is small: clearing a vector).
std::int64_t Scan(sale::CurrentSale& current, const std::string& barcode) {
  static SilentUi ui;
  static sale::NullCustomerDisplay display;
  if (current.lines.size() >= kLinesPerSale) current.lines.clear();
  size_t before = current.lines.size();
  sale::ProcessEntry(current, barcode, ui, display);
  if (current.lines.size() != before + 1) throw std::runtime_error("scan added no line");
  return static_cast<std::int64_t>(current.total);
}

void AddScaleGoodsAndMember(store::Database& db) {
  store::Transaction tx(db);
  store::Statement goods = db.Query(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,importprice,"
      "averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,givepoints,iscombined) "
      "values (?,?,'公斤','生鲜',?,?,0,0,'2024-01-01 09:00:00','是',?,0,1,'否')");
  for (int i = 0; i < kScaleGoods; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "%05d", i);
    goods.BindAll(code, "称重" + std::to_string(i), 10.0 + i % 50, 9.0 + i % 50, i + 1);
    goods.Run();
    goods.Reset();
  }
  db.Exec(
      "insert into membermaster (memberid,membername,memberpw,dismode,disrate,disondis) "
      "values ('bench','会员','', '会员价',1,'否')");
  db.Exec(
      "update management set scale = '是', scalesimple = '2', scalebarcode = 5, "
      "scalevalue = 5");
  tx.Commit();
}

void BuildShop(Shop& shop, const fs::path& dir, std::uint64_t seed) {
  shop.dir = dir;
  const Clock::time_point start = Clock::now();
  bench::CreateSyntheticDatabase(dir, {shop.goods, 0});
  store::Database db(dir / "kasso.db");
  AddScaleGoodsAndMember(db);
  std::mt19937_64 rng(seed);
  for (size_t i = 0; i < kSampleCount; ++i) {
    shop.barcodes.push_back(bench::SyntheticBarcode(
        static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(shop.goods))));
    char scale[16];
    std::snprintf(scale, sizeof scale, "2%05d%05d7", static_cast<int>(rng() % kScaleGoods),
                  static_cast<int>(rng() % 100000));
    shop.scale_barcodes.emplace_back(scale);
  }
  shop.open = std::make_unique<store::Database>(dir / "kasso.db");
  std::printf("generated %-22s in %6.2f s\n", shop.label.c_str(), SecondsSince(start));
}

// A sale of kMemberSaleLines scanned lines with the member-price member attached.
sale::CurrentSale MemberSale(const Shop& shop) {
  store::SetDataDirectory(shop.dir);
  SilentUi ui;
  sale::NullCustomerDisplay display;
  sale::CurrentSale current;
  sale::NewSale(current);
  current.member_id = "bench";
  sale::DescribeMember(current, "bench");
  for (size_t i = 0; i < kMemberSaleLines; ++i) {
    sale::ProcessEntry(current, Sample(shop.barcodes, i * 7), ui, display);
  }
  if (current.lines.size() != kMemberSaleLines) throw std::runtime_error("member sale short");
  return current;
}

struct Row {
  const char* title;
  Case* small;
  Case* large;
  bool scan;  // scans are held to the targets; the pricing pass is reported
};

bool Report(const Row& row, const Case& raw_small, const Case& raw_large) {
  std::printf("\n%s\n", row.title);
  std::printf("  %-22s %12s %12s %10s\n", "database", "op us", "raw us", "op/raw");
  for (const auto& [op, raw] :
       {std::pair{row.small, &raw_small}, std::pair{row.large, &raw_large}}) {
    std::printf("  %-22s %12.1f %12.2f %9.1fx\n", op->label.c_str(), op->median, raw->median,
                op->median / raw->median);
  }
  const double ratio = row.large->median / row.small->median;
  if (!row.scan) {
    std::printf("  large/small: %.2fx (no target)\n", ratio);
    return true;
  }
  const bool flat = ratio <= kTargetRatio;
  const bool fast = row.large->median < kScanLimitMicros;
  std::printf("  large/small: %.2fx (target <= %.2fx) %s\n", ratio, kTargetRatio,
              flat ? "PASS" : "FAIL");
  std::printf("  large: %.1f us (target < %.0f us) %s\n", row.large->median, kScanLimitMicros,
              fast ? "PASS" : "FAIL");
  const bool flat_met =
      bench::Target(std::string(row.title) + ", large/small", ratio, kTargetRatio, "x");
  const bool fast_met = bench::Target(std::string(row.title) + ", 200000 goods", row.large->median,
                                      kScanLimitMicros, "us");
  return flat && fast && flat_met && fast_met;
}

// The pricing pass beside its floor, the same look-ups on a fresh plain connection.
void ReportFloor(const Case& op_small, const Case& op_large, const Case& floor_small,
                 const Case& floor_large) {
  std::printf("  floor: 200 look-ups on a fresh connection\n");
  for (const auto& [op, floor] :
       {std::pair{&op_small, &floor_small}, std::pair{&op_large, &floor_large}}) {
    std::printf("  %-22s %12.1f us, op/floor %.2fx\n", op->label.c_str(), floor->median,
                op->median / floor->median);
  }
  std::printf("  floor large/small: %.2fx (pages a fresh connection must read)\n",
              floor_large.median / floor_small.median);
}

bool ParseCount(std::string_view text, std::int64_t& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 1;
}

int Run(const fs::path& base, std::int64_t large_goods) {
#ifndef NDEBUG
  std::printf("warning: built without NDEBUG; build in Release for figures that mean much\n");
#endif
  ScratchDir scratch{base / ("tillwise-sale-bench-" + std::to_string(getpid()))};
  Shop small("200 goods", 200);
  Shop large(std::to_string(large_goods) + " goods", large_goods);
  BuildShop(small, scratch.path / "small", 1);
  BuildShop(large, scratch.path / "large", 2);

  sale::CurrentSale scan_small;
  sale::CurrentSale scan_large;
  sale::CurrentSale scale_small;
  sale::CurrentSale scale_large;
  Case raw_small(small, [&](size_t i) { return RawLookup(small, i); });
  Case raw_large(large, [&](size_t i) { return RawLookup(large, i); });
  Case ordinary_small(small, [&](size_t i) { return Scan(scan_small, Sample(small.barcodes, i)); });
  Case ordinary_large(large, [&](size_t i) { return Scan(scan_large, Sample(large.barcodes, i)); });
  Case weighed_small(small,
                     [&](size_t i) { return Scan(scale_small, Sample(small.scale_barcodes, i)); });
  Case weighed_large(large,
                     [&](size_t i) { return Scan(scale_large, Sample(large.scale_barcodes, i)); });

  sale::CurrentSale member_small = MemberSale(small);
  sale::CurrentSale member_large = MemberSale(large);
  sale::NullCustomerDisplay display;
  Case pricing_small(small, [&](size_t) {
    return static_cast<std::int64_t>(sale::ApplyMemberPricing(member_small, display));
  });
  Case pricing_large(large, [&](size_t) {
    return static_cast<std::int64_t>(sale::ApplyMemberPricing(member_large, display));
  });

  Case floor_small(small, [&](size_t) { return RawPass(small, member_small); });
  Case floor_large(large, [&](size_t) { return RawPass(large, member_large); });

  Measure({&raw_small, &raw_large, &ordinary_small, &ordinary_large, &weighed_small, &weighed_large,
           &pricing_small, &pricing_large, &floor_small, &floor_large});
  store::SetDataDirectory({});

  std::printf(
      "\nmedian of %d batches of about %.0f ms; every op opens and closes kasso.db;\n"
      "raw = one indexed select by barcode on an already-open connection\n",
      bench::kRounds, bench::kBatchSeconds * 1000);
  bool pass = Report({"ProcessEntry, ordinary barcode", &ordinary_small, &ordinary_large, true},
                     raw_small, raw_large);
  pass = Report({"ProcessEntry, scale barcode", &weighed_small, &weighed_large, true}, raw_small,
                raw_large) &&
         pass;
  Report(
      {"ApplyMemberPricing, 200 lines, member price member", &pricing_small, &pricing_large, false},
      raw_small, raw_large);
  ReportFloor(pricing_small, pricing_large, floor_small, floor_large);
  std::printf("\n%s (checksum %lld)\n", pass ? "all targets met" : "SOME TARGETS MISSED",
              static_cast<long long>(bench::Checksum() % 1000));
  return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = fs::temp_directory_path();
  std::int64_t goods = 200'000;
  for (int i = 1; i < argc; i += 2) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc || (arg != "--dir" && arg != "--goods") ||
        (arg == "--goods" && !ParseCount(argv[i + 1], goods))) {
      std::fprintf(stderr,
                   "usage: sale_bench [--dir DIR] [--goods N]\n"
                   "  --dir DIR   where the generated databases go (deleted at the end)\n"
                   "  --goods N   goods of the large database (default 200000)\n");
      return kUsageError;
    }
    if (arg == "--dir") dir = argv[i + 1];
  }
  try {
    return Run(dir, goods);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "sale_bench: %s\n", error.what());
    return 1;
  }
}
