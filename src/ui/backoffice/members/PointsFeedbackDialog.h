#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

class QEvent;
class QObject;

namespace Ui {
class PointsFeedbackDialog;
}

namespace ui {

// "积分回馈": a member redeems points for a gift ("赠品": barcode and quantity, the goods picker
// helps find the barcode) or a rebate ("返利": a rate of stored value per point). "确定", or
// Enter on the points, books it; "回馈完成" then closes the dialog.
class PointsFeedbackDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(PointsFeedbackDialog)

 public:
  // workno is the operator, recorded with the redemption; memberid may be empty.
  PointsFeedbackDialog(QWidget* parent, const QString& workno, const QString& memberid);
  ~PointsFeedbackDialog() override;

 signals:
  // Points were redeemed; the member list reloads.
  void pointsRedeemed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Gift() const;
  void ApplyKind();
  void ShowMember();
  void ShowGiftName();
  void OnPickGift();
  void OnConfirm();
  void FocusField(const std::string& field);

  std::unique_ptr<Ui::PointsFeedbackDialog> ui_;
  QString workno_;
};

}  // namespace ui
