#pragma once

#include <string>
#include <vector>

#include "core/backoffice/members/member_master.h"
#include "ui/common/ColumnTableModel.h"
#include "ui/common/SearchDialog.h"

namespace ui {

// The member list's fourteen columns over members fetched from core. Id and name of every
// member are held; the other columns are read a page at a time when a row is first shown, so
// a list of 100 000 members opens at once.
class MemberListModel
    : public PagedTableModel<backoffice::MemberListEntry, backoffice::MemberListRow>,
      public SearchableList {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberListModel)

 public:
  enum Column {
    kId,
    kName,
    kSex,
    kPid,
    kPhone,
    kDepositMode,
    kBalance,
    kPointsMode,
    kPoints,
    kAdvantage,
    kRate,
    kBirthday,
    kAddress,
    kDisOnDis,
    kColumnCount
  };

  explicit MemberListModel(QObject* parent);

  // The column's width in the list; 0 for a hidden column.
  static int ColumnWidth(int column);

  // The row of the member; -1 when it is not listed.
  int RowOf(const std::string& memberid) const;

  int SearchRowCount() const override { return rowCount(); }
  // Id and name; other columns read as empty.
  std::string_view SearchText(int row, int column) const override;
};

}  // namespace ui
