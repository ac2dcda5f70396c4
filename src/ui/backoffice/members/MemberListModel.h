#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/backoffice/members/member_master.h"
#include "ui/common/PagedRows.h"
#include "ui/common/SearchDialog.h"

namespace ui {

// The member list's fourteen columns over members fetched from core. Id and name of every
// member are held; the other columns are read a page at a time when a row is first shown, so
// a list of 100 000 members opens at once.
class MemberListModel : public QAbstractTableModel, public SearchableList {
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

  void SetEntries(std::vector<backoffice::MemberListEntry> entries);
  const backoffice::MemberListEntry& Entry(int row) const {
    return entries_[static_cast<size_t>(row)];
  }
  // The row of the member; -1 when it is not listed.
  int RowOf(const std::string& memberid) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  int SearchRowCount() const override { return rowCount(); }
  // Id and name; other columns read as empty.
  std::string_view SearchText(int row, int column) const override;

 private:
  // The full row, reading its page when it is not at hand; nullptr when it cannot be read.
  const backoffice::MemberListRow* Full(int row) const;
  QString Cell(int row, int column) const;

  std::vector<backoffice::MemberListEntry> entries_;
  PagedRows<backoffice::MemberListRow> pages_;
};

}  // namespace ui
