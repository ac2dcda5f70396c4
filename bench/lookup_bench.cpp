// tillwise_bench: do the look-ups every operation makes stay as cheap in a big shop as in a
// small one? Each look-up runs the way the till runs it (open kasso.db, one select, close)
// against a small and a large generated database; beside it runs the same select on an
// already-open connection, the raw SQLite work the look-up cannot avoid.

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

#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
#include "figures.h"
#include "measure.h"
#include "synthetic.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using bench::Case;
using bench::Measure;
using bench::ScratchDir;
using bench::SecondsSince;

constexpr double kTargetRatio = 1.5;
constexpr size_t kSampleCount = 4096;
constexpr int kUsageError = 2;

struct Options {
  fs::path dir = fs::temp_directory_path();
  std::int64_t goods = 200'000;
  std::int64_t journal_rows = 2'000'000;
};

// One generated database, a random sample of its barcodes, and an open connection for the
// raw baseline.
struct Shop {
  Shop(std::string name, bench::SyntheticSize rows) : label(std::move(name)), size(rows) {}
  std::string label;
  fs::path dir;
  bench::SyntheticSize size;
  double generate_seconds = 0;
  std::vector<std::string> barcodes;
  std::unique_ptr<store::Database> open;
};

// The look-up's own statement on an already-open connection, prepared each time as the
// operation prepares it: the SQLite work that cannot be avoided.
std::int64_t RawQuery(sqlite3* db, const char* sql, const std::string* barcode) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(db));
  }
  std::unique_ptr<sqlite3_stmt, store::StatementDeleter> statement(raw);
  if (barcode) {
    sqlite3_bind_text(raw, 1, barcode->data(), static_cast<int>(barcode->size()), SQLITE_STATIC);
  }
  if (sqlite3_step(raw) != SQLITE_ROW) return -1;
  if (!barcode) return sqlite3_column_int64(raw, 0);
  // Read every column as the look-up does.
  const std::int64_t bytes = sqlite3_column_bytes(raw, 0) + sqlite3_column_bytes(raw, 1);
  return bytes +
         static_cast<std::int64_t>(sqlite3_column_double(raw, 2) + sqlite3_column_double(raw, 3));
}

const std::string& Sample(const Shop& shop, size_t i) {
  return shop.barcodes[i % shop.barcodes.size()];
}

std::int64_t GoodsOp(const Shop& shop, size_t i) {
  std::optional<servicelib::GoodsInfo> info = servicelib::GetGoodsInfoFromBarcode(Sample(shop, i));
  if (!info) throw std::runtime_error("look-up missed " + Sample(shop, i) + " in " + shop.label);
  return static_cast<std::int64_t>(info->goodsname.size());
}

std::int64_t GoodsRaw(const Shop& shop, size_t i) {
  std::int64_t found = RawQuery(shop.open->handle(),
                                "select goodsname,unit,salesprice,memberprice from goodsmaster "
                                "where barcode = ?",
                                &Sample(shop, i));
  if (found < 0) throw std::runtime_error("raw look-up missed " + Sample(shop, i));
  return found;
}

std::int64_t TranNoOp() { return servicelib::GetTranNo(); }

std::int64_t TranNoRaw(const Shop& shop) {
  return RawQuery(shop.open->handle(), "select max(transactionnumber) from transactiondetails",
                  nullptr);
}

void BuildShop(Shop& shop, const fs::path& dir, std::uint64_t seed) {
  shop.dir = dir;
  const Clock::time_point start = Clock::now();
  bench::CreateSyntheticDatabase(dir, shop.size);
  shop.generate_seconds = SecondsSince(start);
  std::mt19937_64 rng(seed);
  for (size_t i = 0; i < kSampleCount; ++i) {
    shop.barcodes.push_back(bench::SyntheticBarcode(
        static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(shop.size.goods))));
  }
  shop.open = std::make_unique<store::Database>(dir / "kasso.db");
  std::printf("generated %-34s in %6.2f s\n", shop.label.c_str(), shop.generate_seconds);
}

// Prints one topic's table; true when the large shop stays within the target of the small.
bool Report(const char* title, const char* unit, Case& op_small, Case& op_large, Case& raw_small,
            Case& raw_large) {
  std::printf("\n%s\n", title);
  std::printf("  %-36s %12s %12s %10s\n", "database", "op us/call", "raw us/call", "op/raw");
  for (const auto& [op, raw] :
       {std::pair{&op_small, &raw_small}, std::pair{&op_large, &raw_large}}) {
    std::printf("  %-36s %12.2f %12.2f %9.1fx\n", op->label.c_str(), op->median, raw->median,
                op->median / raw->median);
  }
  const double ratio = op_large.median / op_small.median;
  const bool pass = ratio <= kTargetRatio;
  std::printf("  large/small (%s): op %.2fx, raw %.2fx   target op <= %.2fx   %s\n", unit, ratio,
              raw_large.median / raw_small.median, kTargetRatio, pass ? "PASS" : "FAIL");
  return bench::Target(std::string(title) + ", large/small", ratio, kTargetRatio, "x");
}

bool ParseCount(std::string_view text, std::int64_t& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: tillwise_bench [--dir DIR] [--goods N] [--journal-rows N]\n"
               "  --dir DIR          where the generated databases go (default: the temp dir);\n"
               "                     they are deleted when the run ends\n"
               "  --goods N          goods of the large database (default 200000)\n"
               "  --journal-rows N   journal rows of the large database (default 2000000)\n");
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    const std::string_view value = argv[++i];
    if (arg == "--dir") {
      options.dir = value;
    } else if (arg == "--goods") {
      if (!ParseCount(value, options.goods) || options.goods < 1) return std::nullopt;
    } else if (arg == "--journal-rows") {
      if (!ParseCount(value, options.journal_rows) || options.journal_rows == 1) {
        return std::nullopt;
      }
    } else {
      return std::nullopt;
    }
  }
  return options;
}

int Run(const Options& options) {
#ifndef NDEBUG
  std::printf("warning: built without NDEBUG; build in Release for figures that mean much\n");
#endif
  ScratchDir scratch{options.dir / ("tillwise-bench-" + std::to_string(getpid()))};
  Shop small("200 goods, 0 journal rows", {200, 0});
  Shop large(std::to_string(options.goods) + " goods, " + std::to_string(options.journal_rows) +
                 " journal rows",
             {options.goods, options.journal_rows});
  BuildShop(small, scratch.path / "small", 1);
  BuildShop(large, scratch.path / "large", 2);

  Case goods_op_small(small, [&](size_t i) { return GoodsOp(small, i); });
  Case goods_op_large(large, [&](size_t i) { return GoodsOp(large, i); });
  Case goods_raw_small(small, [&](size_t i) { return GoodsRaw(small, i); });
  Case goods_raw_large(large, [&](size_t i) { return GoodsRaw(large, i); });
  Measure({&goods_op_small, &goods_op_large, &goods_raw_small, &goods_raw_large});

  Case tran_op_small(small, [](size_t /*call*/) { return TranNoOp(); });
  Case tran_op_large(large, [](size_t /*call*/) { return TranNoOp(); });
  Case tran_raw_small(small, [&](size_t /*call*/) { return TranNoRaw(small); });
  Case tran_raw_large(large, [&](size_t /*call*/) { return TranNoRaw(large); });
  Measure({&tran_op_small, &tran_op_large, &tran_raw_small, &tran_raw_large});

  // The bill number must come from the journal, not from a stale or failed open.
  store::SetDataDirectory(large.dir);
  if (servicelib::GetTranNo() != TranNoRaw(large) + 1) {
    throw std::runtime_error("GetTranNo disagrees with the journal");
  }
  store::SetDataDirectory({});

  std::printf("\nmedian of %d batches of about %.0f ms each; op opens and closes kasso.db\n",
              bench::kRounds, bench::kBatchSeconds * 1000);
  bool pass = Report("goods look-up by barcode: GetGoodsInfoFromBarcode(barcode)", "goods",
                     goods_op_small, goods_op_large, goods_raw_small, goods_raw_large);
  pass = Report("next bill number: GetTranNo()", "journal rows", tran_op_small, tran_op_large,
                tran_raw_small, tran_raw_large) &&
         pass;
  std::printf("\n%s (checksum %lld)\n", pass ? "all targets met" : "SOME TARGETS MISSED",
              static_cast<long long>(bench::Checksum() % 1000));
  return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    PrintUsage(stdout);
    return 0;
  }
  std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    PrintUsage(stderr);
    return kUsageError;
  }
  try {
    return Run(*options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tillwise_bench: %s\n", error.what());
    return 1;
  }
}
