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
// ("*", chosen with "批量选择"). Enter on "确认" asks "保存?", records and stays open for the
// next top-up; clicking "确认" checks, records and closes.
class DepositEntryDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DepositEntryDialog)

 public:
  // workno is the operator, named on the top-up slip.
  DepositEntryDialog(QWidget* parent, const QString& workno);
  ~DepositEntryDialog() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnMemberEntered();
  void ShowMemberName(const std::string& memberid);
  void OnBatch();
  void OnConfirmClicked();
  // Records the top-up; false when it was refused (the reason has been shown).
  bool Record();

  std::unique_ptr<Ui::DepositEntryDialog> ui_;
  QString workno_;
};

}  // namespace ui
