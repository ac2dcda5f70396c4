#include "ui/backoffice/members/MemberListModel.h"

#include <algorithm>
#include <array>

#include "core/store/database.h"
#include "ui/common/Numbers.h"

namespace ui {
namespace {

struct ColumnInfo {
  const char* heading;
  int width;
};

constexpr std::array<ColumnInfo, MemberListModel::kColumnCount> kColumns = {{
    {"编号", 150},
    {"名称", 100},
    {"性别", 50},
    {"身份证", 200},
    {"电话", 150},
    {"储值", 50},
    {"储值额", 100},
    {"积分", 50},
    {"积分值", 100},
    {"优惠方式", 100},
    {"折扣率", 100},
    {"生日", 0},
    {"住址", 200},
    {"折上折", 50},
}};

// Pages of full rows kept at most: about 16 000 rows.
constexpr size_t kCachedPages = 64;

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MemberListModel::MemberListModel(QObject* parent) : QAbstractTableModel(parent) {}

int MemberListModel::ColumnWidth(int column) { return kColumns[static_cast<size_t>(column)].width; }

void MemberListModel::SetEntries(std::vector<backoffice::MemberListEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  pages_.clear();
  endResetModel();
}

int MemberListModel::RowOf(const std::string& memberid) const {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const auto& entry) { return entry.memberid == memberid; });
  return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

const backoffice::MemberListRow* MemberListModel::Full(int row) const {
  const size_t page = static_cast<size_t>(row) / backoffice::kMemberPage;
  auto found = pages_.find(page);
  if (found == pages_.end()) {
    if (pages_.size() >= kCachedPages) pages_.clear();
    const size_t first = page * backoffice::kMemberPage;
    const size_t last = std::min(entries_.size(), first + backoffice::kMemberPage);
    std::vector<std::int64_t> rowids;
    for (size_t i = first; i < last; ++i) rowids.push_back(entries_[i].rowid);
    std::vector<backoffice::MemberListRow> rows;
    try {
      rows = backoffice::LoadMemberRows(rowids);
    } catch (const store::DbError&) {
      // An unreadable file shows id and name alone.
    }
    found = pages_.emplace(page, std::move(rows)).first;
  }
  const size_t index = static_cast<size_t>(row) % backoffice::kMemberPage;
  if (index >= found->second.size() || found->second[index].rowid == 0) return nullptr;
  return &found->second[index];
}

int MemberListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int MemberListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QString MemberListModel::Cell(int row, int column) const {
  const backoffice::MemberListEntry& entry = entries_[static_cast<size_t>(row)];
  if (column == kId) return Utf8(entry.memberid);
  if (column == kName) return Utf8(entry.membername);
  const backoffice::MemberListRow* full = Full(row);
  if (!full) return {};
  switch (column) {
    case kSex:
      return Utf8(full->membersex);
    case kPid:
      return Utf8(full->memberpid);
    case kPhone:
      return Utf8(full->memberphone);
    case kDepositMode:
      return Utf8(full->depositmode);
    case kBalance:
      return FormatMoney(full->depositvalue);
    case kPointsMode:
      return Utf8(full->memberpointsmode);
    case kPoints:
      return FormatMoney(full->memberpointsvalue);
    case kAdvantage:
      return Utf8(full->dismode);
    case kRate:
      return FormatMoney(full->disrate);
    case kBirthday:
      return Utf8(full->birthday);
    case kAddress:
      return Utf8(full->memberaddress);
    case kDisOnDis:
      return Utf8(full->disondis);
    default:
      return {};
  }
}

QVariant MemberListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return Cell(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

QVariant MemberListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumnCount) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString::fromUtf8(kColumns[static_cast<size_t>(section)].heading);
}

std::string_view MemberListModel::SearchText(int row, int column) const {
  const backoffice::MemberListEntry& entry = entries_[static_cast<size_t>(row)];
  if (column == kId) return entry.memberid;
  if (column == kName) return entry.membername;
  return {};
}

}  // namespace ui
