#include "ui/backoffice/members/MemberBatchSelectDialog.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/backoffice/members/top_up.h"
#include "core/store/database.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui_MemberBatchSelectDialog.h"

namespace ui {
namespace {

struct ColumnInfo {
  const char* heading;
  int width;
  std::string backoffice::BatchCandidate::*field;
};

constexpr std::array<ColumnInfo, 5> kColumns = {{
    {"会员编号", 100, &backoffice::BatchCandidate::memberid},
    {"会员名称", 200, &backoffice::BatchCandidate::membername},
    {"性别", 50, &backoffice::BatchCandidate::membersex},
    {"身份证", 100, &backoffice::BatchCandidate::memberpid},
    {"电话", 100, &backoffice::BatchCandidate::memberphone},
}};

// The stored-value members, as many as the shop has.
class CandidateModel : public QAbstractTableModel {
 public:
  CandidateModel(QObject* parent, std::vector<backoffice::BatchCandidate> rows)
      : QAbstractTableModel(parent), rows_(std::move(rows)) {}

  const backoffice::BatchCandidate& Row(int row) const { return rows_[static_cast<size_t>(row)]; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
  }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
      return {};
    }
    if (role != Qt::DisplayRole) return {};
    const std::string& text = Row(index.row()).*kColumns[static_cast<size_t>(index.column())].field;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromUtf8(kColumns[static_cast<size_t>(section)].heading);
  }

 private:
  std::vector<backoffice::BatchCandidate> rows_;
};

}  // namespace

MemberBatchSelectDialog::MemberBatchSelectDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MemberBatchSelectDialog>()) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  std::vector<backoffice::BatchCandidate> rows;
  try {
    rows = backoffice::LoadBatchCandidates();
  } catch (const store::DbError&) {
    ShowMessage(this, "会员有误");
  }
  QTableView* table = ui_->memberTable;
  table->setModel(new CandidateModel(this, std::move(rows)));
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (size_t column = 0; column < kColumns.size(); ++column) {
    table->setColumnWidth(static_cast<int>(column), kColumns[column].width);
  }
  ListColumns::FitAndRemember(table, "会员批量选择");
  connect(ui_->confirmButton, &QPushButton::clicked, this, &MemberBatchSelectDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &MemberBatchSelectDialog::reject);
}

MemberBatchSelectDialog::~MemberBatchSelectDialog() = default;

void MemberBatchSelectDialog::OnConfirm() {
  const auto* model = static_cast<const CandidateModel*>(ui_->memberTable->model());
  QModelIndexList selected = ui_->memberTable->selectionModel()->selectedRows();
  std::sort(selected.begin(), selected.end());
  std::vector<std::string> memberids;
  memberids.reserve(static_cast<size_t>(selected.size()));
  for (const QModelIndex& index : selected) memberids.push_back(model->Row(index.row()).memberid);
  try {
    backoffice::SaveBatchChoice(memberids);
  } catch (const store::DbError& error) {
    ShowMessage(this, ErrorText(error));
    return;
  }
  accept();
}

}  // namespace ui
