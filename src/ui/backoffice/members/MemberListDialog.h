#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

namespace Ui {
class MemberListDialog;
}

namespace ui {

class MemberListModel;

// "会员": the member list, opened maximised. Members are added, modified, deleted, imported,
// exported, searched, topped up ("储值") and redeem points ("积分回馈") from here.
class MemberListDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberListDialog)

 public:
  MemberListDialog(QWidget* parent, const QString& workno);
  ~MemberListDialog() override;

  // Reads the list again, keeping the selected member selected while it exists.
  void Reload();

 private:
  // The id of the selected row; empty when none is selected.
  std::string SelectedMember() const;
  void OnAdd();
  void OnModify();
  void OnDelete();
  void OnImport();
  void OnExport();
  void OnDeposit();
  void OnSearch();
  void OnPoints();

  std::unique_ptr<Ui::MemberListDialog> ui_;
  MemberListModel* model_;
  QString workno_;
};

}  // namespace ui
