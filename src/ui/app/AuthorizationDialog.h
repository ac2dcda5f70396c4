#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AuthorizationDialog;
}

namespace ui {

// "授权": asks for the fixed authorization password in front of restore, account reset and
// data clearing. Accepted only with the right password; a wrong one is refused and the dialog
// stays open for another try.
class AuthorizationDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(AuthorizationDialog)

 public:
  explicit AuthorizationDialog(QWidget* parent = nullptr);
  ~AuthorizationDialog() override;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::AuthorizationDialog> ui_;
};

// Runs the dialog; true when the right password was given.
bool Authorize(QWidget* parent);

}  // namespace ui
