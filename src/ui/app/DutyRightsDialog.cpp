#include "ui/app/DutyRightsDialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <stdexcept>
#include <string>

#include "core/app/accounts.h"
#include "core/common/error.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"
#include "ui_DutyRightsDialog.h"

namespace ui {

DutyRightsDialog::DutyRightsDialog(QWidget* parent, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::DutyRightsDialog>()), workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  pages_[0] = MakePage(app::kManagerDuty, "manager", ui_->managerSaveButton);
  pages_[1] = MakePage(app::kCashierDuty, "cashier", ui_->cashierSaveButton);

  for (Page& page : pages_) {
    // The discount right guards no action; its box stays hidden but keeps the stored value.
    page.boxes[lookups::RightIndex(lookups::Right::kDiscount)]->hide();
    connect(page.save, &QPushButton::clicked, this, [this, &page] { SavePage(page); });
  }
  connect(ui_->dutyTabs, &QTabWidget::currentChanged, this, [this](int index) {
    if (index >= 0 && index < static_cast<int>(pages_.size())) LoadPage(pages_[index]);
  });

  ui_->dutyTabs->setCurrentIndex(0);
  LoadPage(pages_[0]);
}

DutyRightsDialog::~DutyRightsDialog() = default;

DutyRightsDialog::Page DutyRightsDialog::MakePage(const QString& duty, const QString& prefix,
                                                  QPushButton* save) {
  Page page;
  page.duty = duty;
  page.save = save;
  for (size_t i = 0; i < lookups::kRights.size(); ++i) {
    std::string_view name_part = lookups::kRights[i].column;
    QString column = QString::fromUtf8(name_part.data(), static_cast<qsizetype>(name_part.size()));
    QString name = prefix + column.left(1).toUpper() + column.mid(1) + "Check";
    page.boxes[i] = findChild<QCheckBox*>(name);
    if (page.boxes[i] == nullptr) throw std::logic_error("missing right box " + name.toStdString());
  }
  return page;
}

void DutyRightsDialog::LoadPage(Page& page) {
  app::DutyRights rights{};
  try {
    rights = app::LoadDutyRights(page.duty.toStdString());
  } catch (const store::DbError&) {
    // An unreadable database shows every box unticked.
  }
  for (size_t i = 0; i < rights.size(); ++i) page.boxes[i]->setChecked(rights[i]);
}

void DutyRightsDialog::SavePage(Page& page) {
  app::DutyRights rights{};
  for (size_t i = 0; i < rights.size(); ++i) rights[i] = page.boxes[i]->isChecked();
  try {
    app::SaveDutyRights(page.duty.toStdString(), rights, workno_.toStdString());
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    return;
  } catch (const store::DbError&) {
    // Nothing was stored, so the page must not say "完成".
    ui::ShowMessage(this, "数据库有误，权限没有保存");
    return;
  }
  // Show what was stored: a manager's "权限" box comes back ticked.
  LoadPage(page);
  ui::ShowMessage(this, "完成");
}

}  // namespace ui
