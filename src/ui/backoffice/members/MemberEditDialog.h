#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

#include "core/backoffice/members/member_master.h"

class QEvent;
class QObject;

namespace Ui {
class MemberEditDialog;
}

namespace ui {

// "会员": the editor of one member. Add mode starts with the defaults and stays open after each
// save with its key fields emptied; Enter on an id already stored loads that member, so the
// save then updates it, while saving to a stored id that was not loaded asks first. Modify mode
// shows the member with its id fixed and closes with OK after a save. The balance is shown and
// never edited here.
class MemberEditDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberEditDialog)

 public:
  // Add mode.
  explicit MemberEditDialog(QWidget* parent);
  // Modify mode for the stored member.
  MemberEditDialog(QWidget* parent, const QString& memberid);
  ~MemberEditDialog() override;

 signals:
  // A member was written; the list reloads.
  void memberSaved();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUp();
  void ShowFields(const backoffice::MemberFields& fields);
  backoffice::MemberFields ReadFields() const;
  // Enables the rate and "折上折" for a member discount only; the others force rate 1 unticked.
  void ApplyAdvantage(bool chosen_by_user);
  void OnIdEntered();
  void OnConfirm();
  void FocusField(const std::string& field);

  // In add mode, true when the id names a stored member other than the one shown and the user
  // declines to change it.
  bool DeclinesOverwrite(const std::string& memberid);

  std::unique_ptr<Ui::MemberEditDialog> ui_;
  bool modify_mode_ = false;
  // The id of the stored member the fields show; empty when they show none.
  std::string loaded_id_;
  // The points as last shown, so a save writes them only when they were typed over.
  std::string points_shown_ = "0";
};

}  // namespace ui
