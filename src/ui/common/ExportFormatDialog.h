#pragma once

#include <QDialog>
#include <QString>
#include <deque>
#include <memory>
#include <optional>

namespace Ui {
class ExportFormatDialog;
}

namespace ui {

enum class ExportFormat { kText, kSpreadsheet };

// The format name the file choosers take: "text" or "excel".
QString FormatName(ExportFormat format);

// While a seam exists no format dialog opens: each Choose takes the next queued answer
// (nothing when the queue is empty) and counts the question. Seams nest; the newest answers.
class ExportFormatSeam {
 public:
  ExportFormatSeam();
  ~ExportFormatSeam();
  ExportFormatSeam(const ExportFormatSeam&) = delete;
  ExportFormatSeam& operator=(const ExportFormatSeam&) = delete;

  void SetNextAnswer(std::optional<ExportFormat> format) { answers_.push_back(format); }
  int asked() const { return asked_; }

  static ExportFormatSeam* Active();
  std::optional<ExportFormat> Answer();

 private:
  std::deque<std::optional<ExportFormat>> answers_;
  int asked_ = 0;
  ExportFormatSeam* previous_;
};

// "导出格式": "文本文件" or "Excel文件" for an export or an import. "确认" returns the ticked
// format (nothing when neither is ticked), "取消" nothing.
class ExportFormatDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ExportFormatDialog)

 public:
  explicit ExportFormatDialog(QWidget* parent = nullptr);
  ~ExportFormatDialog() override;

  // The format ticked when the dialog was confirmed.
  std::optional<ExportFormat> chosen() const { return chosen_; }

  // Runs the dialog (or the seam).
  static std::optional<ExportFormat> Choose(QWidget* parent);

 private:
  void OnConfirm();

  std::unique_ptr<Ui::ExportFormatDialog> ui_;
  std::optional<ExportFormat> chosen_;
};

}  // namespace ui
