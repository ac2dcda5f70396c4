#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class QEvent;
class QObject;

namespace Ui {
class DepositEntryDialog;
}

namespace ui {

// "储值录入": one top-up of a member named by id, phone or identity-card number, or of the batch
// ("*", chosen with "批量选择"). It opens on the member chosen in the member list, with the
// member's name and balance shown. Enter on "确认" asks "会员 张三 储值 100.00, 保存?", records
// and stays open for the next top-up; clicking "确认" checks, records and closes. A top-up slip
// the till does not print is shown on the screen.
class DepositEntryDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DepositEntryDialog)

 public:
  // workno is the operator, named on the top-up slip; memberid the member to start with
  // (none: the field starts empty).
  DepositEntryDialog(QWidget* parent, const QString& workno, const QString& memberid = QString());
  ~DepositEntryDialog() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnMemberEntered();
  // The member's name and balance beside the id (the batch: "批量储值").
  void ShowMember(const std::string& memberid);
  void ClearMember();
  void OnBatch();
  void OnConfirmClicked();
  // Records the top-up; false when it was refused (the reason has been shown).
  bool Record();

  std::unique_ptr<Ui::DepositEntryDialog> ui_;
  QString workno_;
};

}  // namespace ui
