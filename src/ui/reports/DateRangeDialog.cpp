#include "ui/reports/DateRangeDialog.h"

#include "core/common/clock.h"
#include "ui_DateRangeDialog.h"

namespace ui {
namespace {

reports::Day DayOf(const QDate& date) { return {date.year(), date.month(), date.day()}; }

}  // namespace

DateRangeDialog::DateRangeDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DateRangeDialog>()) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  const std::tm now = common::Now();
  const QDate today(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
  ui_->startDateEdit->setDate(today);
  ui_->endDateEdit->setDate(today);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &DateRangeDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &DateRangeDialog::reject);
}

DateRangeDialog::~DateRangeDialog() = default;

void DateRangeDialog::OnConfirm() {
  range_ =
      reports::MakeDateRange(DayOf(ui_->startDateEdit->date()), DayOf(ui_->endDateEdit->date()));
  accept();
}

std::optional<reports::DateRange> DateRangeDialog::Choose(QWidget* parent) {
  DateRangeDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.range();
}

}  // namespace ui
