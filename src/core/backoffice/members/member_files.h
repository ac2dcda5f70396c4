#pragma once

// The members' own files: the text layout (no heading line; id, name, identity card, phone,
// address, sex, points flag, points, stored-value flag, balance, password) and the spreadsheet
// sheet "会员信息" with the same columns under their titles, without the password. Imports add
// the members whose id is new and skip the others; they check every line first and write all
// of a file or nothing.

#include <cstddef>
#include <filesystem>

#include "core/files/progress.h"

namespace backoffice {

inline constexpr const char* kMemberSheet = "会员信息";

// How many members an export writes, to decide on a progress box. Throws store::DbError.
std::size_t CountMembers();

// Every member in id order, replacing the file only once it is whole. Progress counts
// members. Throws common::UserError (file), store::DbError and files::Cancelled.
void ExportMembersText(const std::filesystem::path& file, const files::Progress& progress = {});
void ExportMembersSpreadsheet(const std::filesystem::path& file,
                              const files::Progress& progress = {});

struct MembersImported {
  std::size_t added = 0;
  std::size_t skipped = 0;  // ids already stored (or earlier in the same file)
};

// Text lines of the export's layout; the password (eleventh field) may be left out. Empty
// flags read "否", empty points and balance 0. A new member has no advantage ("没有优惠", rate
// 1). Throws common::UserError "第 N 行: ..." naming the first bad line, or the file's own
// error, with nothing written; store::DbError; files::Cancelled.
MembersImported ImportMembersText(const std::filesystem::path& file,
                                  const files::Progress& progress = {});

// The sheet "会员信息" (or a workbook's only sheet): "编号" and "名称" are required; "身份证",
// "电话", "地址", "性别", "积分", "积分值", "储值" and "储值金额" are read when present. Same
// rules and errors as the text import.
MembersImported ImportMembersSpreadsheet(const std::filesystem::path& file,
                                         const files::Progress& progress = {});

}  // namespace backoffice
