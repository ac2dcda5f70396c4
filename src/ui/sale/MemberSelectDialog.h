#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class MemberSelectDialog;
}

namespace ui {

// "会员选择": the member (id, phone or identity number) and the member's password. Closes with
// OK only when both check out; member_id() is then the member's id.
class MemberSelectDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberSelectDialog)

 public:
  explicit MemberSelectDialog(QWidget* parent = nullptr);
  ~MemberSelectDialog() override;

  const QString& member_id() const { return member_id_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::MemberSelectDialog> ui_;
  QString member_id_;
};

}  // namespace ui
