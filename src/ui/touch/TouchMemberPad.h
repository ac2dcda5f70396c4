#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TouchMemberPad;
}

namespace ui {

class TouchBoxes;

// "会员": the member number (or phone or identity number) and the masked password, typed with
// "0" ... "9" and "退格" into the box chosen with "会员卡号" or "密码". Closes on "确认" with
// the member id once the member and password are checked.
class TouchMemberPad : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchMemberPad)

 public:
  explicit TouchMemberPad(QWidget* parent);
  ~TouchMemberPad() override;

  const QString& member_id() const { return member_id_; }

 private:
  void OnConfirm();

  std::unique_ptr<Ui::TouchMemberPad> ui_;
  TouchBoxes* boxes_;
  QString member_id_;
};

}  // namespace ui
