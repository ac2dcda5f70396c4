#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "core/reports/date_range.h"

namespace Ui {
class DateRangeDialog;
}

namespace ui {

// "时间选择": the first and the last day of a query, both preset to today. "确认 " gives the
// range (the last day included), "取消" nothing.
class DateRangeDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DateRangeDialog)

 public:
  explicit DateRangeDialog(QWidget* parent = nullptr);
  ~DateRangeDialog() override;

  // The range chosen with "确认 ".
  const std::optional<reports::DateRange>& range() const { return range_; }

  // Runs the dialog; nothing when it was cancelled.
  static std::optional<reports::DateRange> Choose(QWidget* parent);

 private:
  void OnConfirm();

  std::unique_ptr<Ui::DateRangeDialog> ui_;
  std::optional<reports::DateRange> range_;
};

}  // namespace ui
