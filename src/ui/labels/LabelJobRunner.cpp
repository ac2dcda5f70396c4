#include "ui/labels/LabelJobRunner.h"

#include <QLabel>
#include <QProgressDialog>
#include <memory>

#include "core/common/error.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"

namespace ui {

std::optional<JobOutcome> RunLabelJob(QWidget* parent, QLabel* status, int pages,
                                      const std::function<JobOutcome(const PageProgress&)>& job) {
  status->setText("\t处理中,请稍候...");
  status->repaint();
  std::unique_ptr<QProgressDialog> dialog;
  PageProgress progress;
  if (pages > kProgressFromPages) {
    dialog = std::make_unique<QProgressDialog>("正在打印标签...", "取消", 0, pages, parent);
    dialog->setObjectName("labelProgress");
    dialog->setWindowTitle("标签打印");
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setValue(0);
    progress = [&dialog](int done, int /*total*/) {
      dialog->setValue(done);
      return !dialog->wasCanceled();
    };
  }
  std::optional<JobOutcome> outcome;
  try {
    outcome = job(progress);
  } catch (const common::UserError& error) {
    dialog.reset();
    status->clear();
    ui::ShowMessage(parent, QString::fromStdString(error.what()));
    return std::nullopt;
  } catch (const store::DbError&) {
    dialog.reset();
    status->clear();
    ui::ShowMessage(parent, "数据库有误,标签没有打印");
    return std::nullopt;
  }
  dialog.reset();
  status->clear();
  if (outcome->cancelled) ui::ShowMessage(parent, "打印已取消");
  return outcome;
}

}  // namespace ui
