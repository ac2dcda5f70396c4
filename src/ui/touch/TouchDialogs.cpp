#include "ui/touch/TouchDialogs.h"

#include "ui/touch/TouchMemberPad.h"
#include "ui/touch/TouchMemberSettleDialog.h"
#include "ui/touch/TouchPricePad.h"
#include "ui/touch/TouchSettleDialog.h"

namespace ui {

std::optional<double> TouchDialogs::EnterPrice() {
  TouchPricePad pad(parent_);
  if (pad.exec() != QDialog::Accepted) return std::nullopt;
  return pad.price();
}

std::optional<std::string> TouchDialogs::SelectMember() {
  TouchMemberPad pad(parent_);
  if (pad.exec() != QDialog::Accepted) return std::nullopt;
  return pad.member_id().toStdString();
}

std::optional<sale::Payment> TouchDialogs::SettleOrdinary(double due) {
  TouchSettleDialog dialog(parent_, due);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.payment();
}

std::optional<sale::Payment> TouchDialogs::SettleMember(double due, const std::string& memberid) {
  TouchMemberSettleDialog dialog(parent_, due, QString::fromStdString(memberid));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.payment();
}

}  // namespace ui
