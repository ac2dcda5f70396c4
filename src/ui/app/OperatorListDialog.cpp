#include "ui/app/OperatorListDialog.h"

#include <QHeaderView>
#include <QTableWidgetItem>
#include <string>
#include <vector>

#include "core/app/accounts.h"
#include "core/common/error.h"
#include "core/store/database.h"
#include "ui/app/OperatorEditDialog.h"
#include "ui/common/MessageBox.h"
#include "ui_OperatorListDialog.h"

namespace ui {
namespace {

enum Column { kWorknoColumn, kNameColumn, kDutyColumn };

QTableWidgetItem* Cell(const std::string& text) {
  return new QTableWidgetItem(QString::fromStdString(text));
}

}  // namespace

OperatorListDialog::OperatorListDialog(QWidget* parent, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::OperatorListDialog>()), workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setWindowState(windowState() | Qt::WindowMaximized);

  QTableWidget* table = ui_->operatorTable;
  table->setColumnWidth(kWorknoColumn, 50);
  table->setColumnWidth(kNameColumn, 200);
  table->setColumnWidth(kDutyColumn, 100);

  connect(ui_->addButton, &QPushButton::clicked, this, &OperatorListDialog::OnAdd);
  connect(ui_->modifyButton, &QPushButton::clicked, this, &OperatorListDialog::OnModify);
  connect(ui_->deleteButton, &QPushButton::clicked, this, &OperatorListDialog::OnDelete);
  connect(ui_->exitButton, &QPushButton::clicked, this, &OperatorListDialog::reject);

  Refresh();
}

OperatorListDialog::~OperatorListDialog() = default;

void OperatorListDialog::Refresh() {
  std::vector<app::OperatorRecord> accounts;
  try {
    accounts = app::ListOperators();
  } catch (const store::DbError&) {
    // An unreadable database shows an empty list.
  }
  QTableWidget* table = ui_->operatorTable;
  table->clearSelection();
  table->setRowCount(0);
  table->setRowCount(static_cast<int>(accounts.size()));
  for (int row = 0; row < table->rowCount(); ++row) {
    const app::OperatorRecord& account = accounts[static_cast<size_t>(row)];
    table->setItem(row, kWorknoColumn, Cell(account.workno));
    table->setItem(row, kNameColumn, Cell(account.operatorname));
    table->setItem(row, kDutyColumn, Cell(account.operatorduty));
  }
}

QString OperatorListDialog::SelectedWorkno() const {
  QModelIndexList rows = ui_->operatorTable->selectionModel()->selectedRows(kWorknoColumn);
  if (rows.isEmpty()) return {};
  return rows.front().data().toString();
}

void OperatorListDialog::OnAdd() {
  OperatorEditDialog editor(this);
  editor.SetActor(workno_);
  editor.exec();
  // A save in add mode may also have updated an existing account typed into "工号".
  Refresh();
}

void OperatorListDialog::OnModify() {
  if (ui_->operatorTable->selectionModel()->selectedRows().isEmpty()) {
    ui::ShowMessage(this, "请选择要修改的登陆账号");
    return;
  }
  OperatorEditDialog editor(this, SelectedWorkno());
  editor.SetActor(workno_);
  if (editor.exec() == QDialog::Accepted) Refresh();
}

void OperatorListDialog::OnDelete() {
  if (ui_->operatorTable->selectionModel()->selectedRows().isEmpty()) {
    ui::ShowMessage(this, "请选择要删除的登陆账号");
    return;
  }
  QString workno = SelectedWorkno();
  if (app::NormalizeWorkno(workno.toStdString()) == app::kBuiltInWorkno) {
    ui::ShowMessage(this, "此账号不能删除!");
    return;
  }
  if (!ui::AskYesNo(this, "真的要删除此账号吗?")) return;
  try {
    app::DeleteOperator(workno.toStdString(), workno_.toStdString());
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    return;
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误，登陆账号没有删除");
    return;
  }
  Refresh();
}

}  // namespace ui
