// Writes the seeds the fuzz targets start from that are not files of tests/fixtures: a new
// shop's kasso.db (for the restore check, plus a file cut short), its label templates as an
// exchange file, hostile workbooks, and a few entry texts and text files. Usage: make_seeds DIR
// (one folder per target is made under DIR).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/labels/template_exchange.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "support/hostile_workbooks.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds DIR\n");
    return 2;
  }
  const fs::path dir = argv[1];
  const fs::path shop = dir / "shop";
  fs::remove_all(shop);
  fs::create_directories(shop);
  store::SetDataDirectory(shop);
  store::CreateNewDatabase(store::DatabasePath());
  {
    store::Database db;
    db.ExecScript("pragma journal_mode=delete; vacuum;");
    fs::create_directories(dir / "template_exchange");
    labels::ExportTemplates(db, dir / "template_exchange" / "labelprint.db");
  }
  const std::string kasso = Read(store::DatabasePath());
  Write(dir / "restore_check" / "kasso.db", kasso);
  Write(dir / "restore_check" / "cut.db", kasso.substr(0, kasso.size() / 2));
  Write(dir / "restore_check" / "header.db", kasso.substr(0, 100));

  // The first two bytes: scale settings and the answers; then entries, one a line.
  Write(dir / "process_entry" / "goods",
        std::string("\x03\xff", 2) + "6901234567892\n*3\n/0.9\n\\2.8\n-\n123\n%0.95\n=");
  Write(dir / "process_entry" / "scale", std::string("\x01\x55", 2) + "200017012345\n00017\n*0.5");
  Write(dir / "process_entry" / "petty", std::string("\x00\x00", 2) + "+100\n\n1\n*99999\n*-1");

  Write(dir / "text_file" / "gbk", "\xcc\xf5\xc2\xeb,\xc3\xfb\xb3\xc6\r\n6901,\"a,\"\"b\"\"\"\r\n");
  Write(dir / "text_file" / "utf8bom", "\xef\xbb\xbf条码,名称\n1,\"多\n行\"\n");
  Write(dir / "text_file" / "open_quote", "a,\"b\r\nc,d\r\n");
  // Hostile archives: a few kilobytes that unfold into far more cell text than any import.
  Write(dir / "xlsx" / "shared_bomb.xlsx",
        testing_support::RepeatedSharedStringXlsx(150, 10, 100'000));
  Write(dir / "xlsx" / "small_shared.xlsx", testing_support::RepeatedSharedStringXlsx(3, 3, 5));
  Write(dir / "ods" / "repeat_bomb.ods", testing_support::RepeatedCellOds(10, 1000, 100'000, 8));
  Write(dir / "ods" / "small_repeat.ods", testing_support::RepeatedCellOds(3, 3, 5));

  Write(dir / "code128" / "even", "6901234567892");
  Write(dir / "code128" / "odd", "12345");
  fs::remove_all(shop);
  return 0;
}
