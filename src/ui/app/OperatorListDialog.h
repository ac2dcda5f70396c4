#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class OperatorListDialog;
}

namespace ui {

// "登陆账号": the list of login accounts, opened maximised. Accounts are added, modified and
// deleted from here; the list is read again after every change.
class OperatorListDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(OperatorListDialog)

 public:
  // The accounts are shared by every operator; workno only names who opened the screen.
  OperatorListDialog(QWidget* parent, const QString& workno);
  ~OperatorListDialog() override;

  // Reads the accounts again; an unreadable database leaves the list empty.
  void Refresh();

 private:
  // The work number of the selected row; empty when no row is selected.
  QString SelectedWorkno() const;
  void OnAdd();
  void OnModify();
  void OnDelete();

  std::unique_ptr<Ui::OperatorListDialog> ui_;
  QString workno_;  // the logged-in account
};

}  // namespace ui
