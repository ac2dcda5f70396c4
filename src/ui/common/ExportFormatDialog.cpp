#include "ui/common/ExportFormatDialog.h"

#include "ui_ExportFormatDialog.h"

namespace ui {
namespace {

ExportFormatSeam* active_seam = nullptr;

}  // namespace

QString FormatName(ExportFormat format) { return format == ExportFormat::kText ? "text" : "excel"; }

ExportFormatSeam::ExportFormatSeam() : previous_(active_seam) { active_seam = this; }

ExportFormatSeam::~ExportFormatSeam() { active_seam = previous_; }

ExportFormatSeam* ExportFormatSeam::Active() { return active_seam; }

std::optional<ExportFormat> ExportFormatSeam::Answer() {
  ++asked_;
  if (answers_.empty()) return std::nullopt;
  std::optional<ExportFormat> answer = answers_.front();
  answers_.pop_front();
  return answer;
}

ExportFormatDialog::ExportFormatDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExportFormatDialog>()) {
  ui_->setupUi(this);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &ExportFormatDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &ExportFormatDialog::reject);
}

ExportFormatDialog::~ExportFormatDialog() = default;

void ExportFormatDialog::OnConfirm() {
  if (ui_->textRadio->isChecked()) chosen_ = ExportFormat::kText;
  if (ui_->excelRadio->isChecked()) chosen_ = ExportFormat::kSpreadsheet;
  accept();
}

std::optional<ExportFormat> ExportFormatDialog::Choose(QWidget* parent) {
  if (ExportFormatSeam* seam = ExportFormatSeam::Active()) return seam->Answer();
  ExportFormatDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen();
}

}  // namespace ui
