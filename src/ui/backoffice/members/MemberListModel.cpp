#include "ui/backoffice/members/MemberListModel.h"

#include <array>

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

}  // namespace

MemberListModel::MemberListModel(QObject* parent)
    : QAbstractTableModel(parent), pages_(backoffice::kMemberPage, backoffice::LoadMemberRows) {}

int MemberListModel::ColumnWidth(int column) { return kColumns[static_cast<size_t>(column)].width; }

void MemberListModel::SetEntries(std::vector<backoffice::MemberListEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  pages_.Clear();
  endResetModel();
}

int MemberListModel::RowOf(const std::string& memberid) const {
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const auto& entry) { return entry.memberid == memberid; });
  return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

const backoffice::MemberListRow* MemberListModel::Full(int row) const {
  return pages_.Find(static_cast<size_t>(row), entries_.size(),
                     [this](size_t i) { return entries_[i].rowid; });
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
