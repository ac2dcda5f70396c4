#pragma once

#include <QDialog>
#include <optional>

#include "core/reports/audit_log.h"

class QComboBox;

namespace ui {

// "操作日志" filter: the account and the action the operation log shows, each "全部" (every one)
// or one of the list. "确认" gives the filter, "取消" nothing.
class AuditFilterDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(AuditFilterDialog)

 public:
  explicit AuditFilterDialog(QWidget* parent = nullptr);

  reports::AuditFilter filter() const;

  // Runs the dialog; nothing when it was cancelled.
  static std::optional<reports::AuditFilter> Choose(QWidget* parent);

 private:
  QComboBox* account_;
  QComboBox* action_;
};

}  // namespace ui
