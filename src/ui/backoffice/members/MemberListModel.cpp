#include "ui/backoffice/members/MemberListModel.h"

#include <algorithm>
#include <array>

#include "ui/common/Numbers.h"

namespace ui {
namespace {

using Entry = backoffice::MemberListEntry;
using Row = backoffice::MemberListRow;

// Id and name are held for every member; the rest come with the row's page.
constexpr std::array<ListColumn<Row, Entry>, MemberListModel::kColumnCount> kColumns = {{
    {"编号", 150, kCentred, nullptr, [](const Entry& e) { return Utf8(e.memberid); }},
    {"名称", 100, kCentred, nullptr, [](const Entry& e) { return Utf8(e.membername); }},
    {"性别", 50, kCentred, [](const Row& r) { return Utf8(r.membersex); }},
    {"身份证", 200, kCentred, [](const Row& r) { return Utf8(r.memberpid); }},
    {"电话", 150, kCentred, [](const Row& r) { return Utf8(r.memberphone); }},
    {"储值", 50, kCentred, [](const Row& r) { return Utf8(r.depositmode); }},
    {"储值额", 100, kCentred, [](const Row& r) { return FormatMoney(r.depositvalue); }},
    {"积分", 50, kCentred, [](const Row& r) { return Utf8(r.memberpointsmode); }},
    {"积分值", 100, kCentred, [](const Row& r) { return FormatMoney(r.memberpointsvalue); }},
    {"优惠方式", 100, kCentred, [](const Row& r) { return Utf8(r.dismode); }},
    {"折扣率", 100, kCentred, [](const Row& r) { return FormatMoney(r.disrate); }},
    {"生日", 0, kCentred, [](const Row& r) { return Utf8(r.birthday); }},
    {"住址", 200, kCentred, [](const Row& r) { return Utf8(r.memberaddress); }},
    {"折上折", 50, kCentred, [](const Row& r) { return Utf8(r.disondis); }},
}};

}  // namespace

MemberListModel::MemberListModel(QObject* parent)
    : PagedTableModel(parent, kColumns, backoffice::kMemberPage, backoffice::LoadMemberRows) {}

int MemberListModel::ColumnWidth(int column) { return kColumns[static_cast<size_t>(column)].width; }

int MemberListModel::RowOf(const std::string& memberid) const {
  const std::vector<backoffice::MemberListEntry>& entries = Entries();
  auto found = std::find_if(entries.begin(), entries.end(),
                            [&](const auto& entry) { return entry.memberid == memberid; });
  return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

std::string_view MemberListModel::SearchText(int row, int column) const {
  const backoffice::MemberListEntry& entry = Entry(row);
  if (column == kId) return entry.memberid;
  if (column == kName) return entry.membername;
  return {};
}

}  // namespace ui
