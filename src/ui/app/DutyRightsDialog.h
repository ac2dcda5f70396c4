#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <memory>

#include "core/app/duty_rights.h"

class QCheckBox;
class QPushButton;

namespace Ui {
class DutyRightsDialog;
}

namespace ui {

// "权限": one page of right boxes per duty, "经理" first. Selecting a page reads that duty's
// rights afresh; each page's "保存" stores its boxes for its duty.
class DutyRightsDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DutyRightsDialog)

 public:
  // The rights are shared by every operator; workno names who opened the screen.
  DutyRightsDialog(QWidget* parent, const QString& workno);
  ~DutyRightsDialog() override;

 private:
  struct Page {
    QString duty;
    std::array<QCheckBox*, lookups::kRights.size()> boxes{};
    QPushButton* save = nullptr;
  };

  Page MakePage(const QString& duty, const QString& prefix, QPushButton* save);
  // Sets the page's boxes from the database; an unreadable database clears them.
  void LoadPage(Page& page);
  void SavePage(Page& page);

  std::unique_ptr<Ui::DutyRightsDialog> ui_;
  std::array<Page, 2> pages_;  // in tab order: "经理", "收银员"
  QString workno_;             // the logged-in account, named in the audit trail
};

}  // namespace ui
