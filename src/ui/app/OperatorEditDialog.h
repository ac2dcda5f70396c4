#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

class QEvent;
class QObject;

namespace Ui {
class OperatorEditDialog;
}

namespace ui {

// "登陆账号": the editor of one login account. Add mode starts empty with the duty "收银员";
// Enter in "工号" loads an existing account of that number, so saving then updates it. Modify
// mode shows the account with its work number fixed (and, for the built-in account, its duty).
// A save that passes the checks closes the editor with OK.
class OperatorEditDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(OperatorEditDialog)

 public:
  // Add mode.
  explicit OperatorEditDialog(QWidget* parent);
  // Modify mode for the account workno.
  OperatorEditDialog(QWidget* parent, const QString& workno);
  ~OperatorEditDialog() override;

  bool IsModifyMode() const { return modify_mode_; }
  // The logged-in account the audit trail names for the save.
  void SetActor(const QString& workno) { actor_ = workno; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUp();
  // Fills name and duty from the stored account, when there is one; the password field stays
  // empty, which keeps the stored password.
  void LoadAccount(const QString& workno);
  void OnConfirm();
  void FocusField(const std::string& field);

  std::unique_ptr<Ui::OperatorEditDialog> ui_;
  bool modify_mode_ = false;
  QString actor_;
};

}  // namespace ui
