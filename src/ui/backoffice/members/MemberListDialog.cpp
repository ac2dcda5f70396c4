#include "ui/backoffice/members/MemberListDialog.h"

#include <QHeaderView>
#include <algorithm>
#include <vector>

#include "core/app/main_menu.h"
#include "core/backoffice/members/member_master.h"
#include "core/store/database.h"
#include "ui/backoffice/members/DepositEntryDialog.h"
#include "ui/backoffice/members/MemberEditDialog.h"
#include "ui/backoffice/members/MemberFileTransfer.h"
#include "ui/backoffice/members/MemberListModel.h"
#include "ui/backoffice/members/PointsFeedbackDialog.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/SearchDialog.h"
#include "ui_MemberListDialog.h"

namespace ui {

MemberListDialog::MemberListDialog(QWidget* parent, const QString& workno)
    : QDialog(parent),
      ui_(std::make_unique<Ui::MemberListDialog>()),
      model_(new MemberListModel(this)),
      workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setWindowState(windowState() | Qt::WindowMaximized);

  QTableView* table = ui_->memberTable;
  table->setModel(model_);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (int column = 0; column < MemberListModel::kColumnCount; ++column) {
    const int width = MemberListModel::ColumnWidth(column);
    if (width == 0) {
      table->setColumnHidden(column, true);
    } else {
      table->setColumnWidth(column, width);
    }
  }
  ListColumns::FitAndRemember(table, "会员");

  connect(ui_->addButton, &QPushButton::clicked, this, &MemberListDialog::OnAdd);
  connect(ui_->modifyButton, &QPushButton::clicked, this, &MemberListDialog::OnModify);
  connect(ui_->deleteButton, &QPushButton::clicked, this, &MemberListDialog::OnDelete);
  connect(ui_->importButton, &QPushButton::clicked, this, &MemberListDialog::OnImport);
  connect(ui_->exportButton, &QPushButton::clicked, this, &MemberListDialog::OnExport);
  connect(ui_->depositButton, &QPushButton::clicked, this, &MemberListDialog::OnDeposit);
  connect(ui_->searchButton, &QPushButton::clicked, this, &MemberListDialog::OnSearch);
  connect(ui_->pointsButton, &QPushButton::clicked, this, &MemberListDialog::OnPoints);
  connect(ui_->exitButton, &QPushButton::clicked, this, &MemberListDialog::reject);

  Reload();
}

MemberListDialog::~MemberListDialog() = default;

void MemberListDialog::Reload() {
  const std::string keep = SelectedMember();
  std::vector<backoffice::MemberListEntry> entries;
  try {
    entries = backoffice::LoadMembers();
  } catch (const store::DbError&) {
    ShowMessage(this, "会员有误");
  }
  model_->SetEntries(std::move(entries));
  if (model_->rowCount() == 0) return;
  const int row = keep.empty() ? 0 : std::max(model_->RowOf(keep), 0);
  ui_->memberTable->selectRow(row);
  ui_->memberTable->scrollTo(model_->index(row, 0));
}

std::string MemberListDialog::SelectedMember() const {
  const QModelIndexList rows = ui_->memberTable->selectionModel()->selectedRows();
  if (rows.isEmpty()) return {};
  return model_->Entry(rows.front().row()).memberid;
}

void MemberListDialog::OnAdd() {
  MemberEditDialog editor(this);
  connect(&editor, &MemberEditDialog::memberSaved, this, &MemberListDialog::Reload);
  editor.exec();
}

void MemberListDialog::OnModify() {
  const std::string memberid = SelectedMember();
  if (memberid.empty()) {
    ShowMessage(this, "请选择要修改的会员");
    return;
  }
  MemberEditDialog editor(this, QString::fromStdString(memberid));
  editor.exec();
  Reload();
}

void MemberListDialog::OnDelete() {
  const std::string memberid = SelectedMember();
  if (memberid.empty()) {
    ShowMessage(this, "请选择要删除的会员");
    return;
  }
  if (!AskYesNo(this, "真的要删除此会员吗?")) return;
  try {
    backoffice::DeleteMember(memberid);
  } catch (const store::DbError&) {
    ShowMessage(this, "删除有误");
    return;
  }
  Reload();
}

void MemberListDialog::OnImport() {
  if (ImportMembers(this)) Reload();
}

void MemberListDialog::OnExport() { ExportMembers(this); }

void MemberListDialog::OnDeposit() {
  DepositEntryDialog entry(this, workno_, QString::fromStdString(SelectedMember()));
  entry.exec();
  Reload();
}

void MemberListDialog::OnSearch() {
  SearchDialog::Open(ui_->memberTable, *model_,
                     {{"会员编号", MemberListModel::kId}, {"会员名称", MemberListModel::kName}});
}

void MemberListDialog::OnPoints() {
  if (!app::HasRight(workno_.toStdString(), lookups::Right::kPointsReturn)) {
    ShowMessage(this, "您没有这个权限");
    return;
  }
  PointsFeedbackDialog feedback(this, workno_, QString::fromStdString(SelectedMember()));
  connect(&feedback, &PointsFeedbackDialog::pointsRedeemed, this, &MemberListDialog::Reload);
  feedback.exec();
}

}  // namespace ui
