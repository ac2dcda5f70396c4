#include "ui/backoffice/members/MemberBatchSelectDialog.h"

#include <QHeaderView>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/backoffice/members/top_up.h"
#include "core/store/database.h"
#include "ui/common/ColumnTableModel.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui_MemberBatchSelectDialog.h"

namespace ui {
namespace {

using backoffice::BatchCandidate;

constexpr std::array<ListColumn<BatchCandidate>, 5> kColumns = {{
    {"会员编号", 100, kViewAligned, [](const BatchCandidate& c) { return Utf8(c.memberid); }},
    {"会员名称", 200, kViewAligned, [](const BatchCandidate& c) { return Utf8(c.membername); }},
    {"性别", 50, kViewAligned, [](const BatchCandidate& c) { return Utf8(c.membersex); }},
    {"身份证", 100, kViewAligned, [](const BatchCandidate& c) { return Utf8(c.memberpid); }},
    {"电话", 100, kViewAligned, [](const BatchCandidate& c) { return Utf8(c.memberphone); }},
}};

// The stored-value members, as many as the shop has.
using CandidateModel = RowTableModel<BatchCandidate>;

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
  auto* model = new CandidateModel(this, kColumns);
  model->SetRows(std::move(rows));
  table->setModel(model);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  model->ApplyWidths(table);
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
