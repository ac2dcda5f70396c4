#include "core/store/file_check.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <fstream>

namespace store {
namespace fs = std::filesystem;
namespace {

std::uint32_t BigEndian(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

// Tables every till file has had since the first version; a file without them is not ours.
constexpr std::array<const char*, 3> kTillTables = {"management", "operatormaster", "goodsmaster"};

}  // namespace

HeaderCheck CheckDatabaseHeader(const fs::path& file, std::uintmax_t size) {
  std::array<unsigned char, 100> header{};
  std::ifstream in(file, std::ios::binary);
  if (!in) return HeaderCheck::kUnreadable;
  in.read(reinterpret_cast<char*>(header.data()), header.size());
  if (in.gcount() < static_cast<std::streamsize>(header.size())) return HeaderCheck::kForeign;
  static constexpr char kMagic[] = "SQLite format 3";
  if (!std::equal(std::begin(kMagic), std::end(kMagic), header.begin())) {
    return HeaderCheck::kForeign;
  }
  std::uint32_t page_size = BigEndian(&header[16], 2);
  if (page_size == 1) page_size = 65536;
  if (page_size < 512 || (page_size & (page_size - 1)) != 0) return HeaderCheck::kDamaged;
  if (size % page_size != 0) return HeaderCheck::kDamaged;
  // The page count in the header is trusted only when it was written with the last change.
  std::uint32_t pages = BigEndian(&header[28], 4);
  bool count_valid = BigEndian(&header[24], 4) == BigEndian(&header[92], 4);
  if (count_valid && static_cast<std::uintmax_t>(pages) * page_size > size) {
    return HeaderCheck::kDamaged;
  }
  return HeaderCheck::kSound;
}

FileState StateAfterFailure(int sqlite_code) {
  switch (sqlite_code) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_FORMAT:
      return FileState::kDamaged;
    case SQLITE_READONLY:
      return FileState::kReadOnly;
    default:
      return FileState::kReady;
  }
}

std::string DescribeFailure(const DbError& failure) {
  switch (failure.primary_code()) {
    case SQLITE_FULL:
      return "磁盘已满";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "数据库文件正被其他程序使用";
    case SQLITE_IOERR:
      return "读写磁盘出错";
    case SQLITE_NOMEM:
      return "内存不足";
    default:
      return "数据库操作失败";
  }
}

FileState InspectDatabaseFile(const fs::path& file) {
  std::error_code error;
  fs::file_status status = fs::status(file, error);
  if (status.type() == fs::file_type::not_found) return FileState::kMissing;
  if (error || status.type() != fs::file_type::regular) return FileState::kDamaged;
  std::uintmax_t size = fs::file_size(file, error);
  if (error) return FileState::kDamaged;
  if (size == 0) return FileState::kMissing;
  if (CheckDatabaseHeader(file, size) != HeaderCheck::kSound) return FileState::kDamaged;
  try {
    Database db(file);
    for (const char* table : kTillTables) {
      if (!db.HasRow("select 1 from sqlite_master where type = 'table' and name = ?", table)) {
        return FileState::kDamaged;
      }
    }
    if (sqlite3_db_readonly(db.handle(), "main") == 1) return FileState::kReadOnly;
  } catch (const DbError& failure) {
    FileState state = StateAfterFailure(failure.primary_code());
    if (state == FileState::kReady) throw;
    return state;
  }
  return FileState::kReady;
}

}  // namespace store
