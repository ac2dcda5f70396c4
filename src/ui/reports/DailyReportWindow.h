#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>

#include "core/reports/date_range.h"
#include "ui/reports/DailyReportPage.h"

class QLabel;

namespace Ui {
class DailyReportWindow;
}

namespace ui {

class ReportPageView;

// The daily business report in a maximised print preview: "打印" prints the page on the
// report printer without asking (without a printer it offers a PDF file) and says where the
// page went, "放大" and "缩小" zoom in steps of 50 % between 50 % and 5000 %, "关闭" closes. The status bar shows the page count, the page shown and the zoom.
// The figures are measured once, when the window opens.
class DailyReportWindow : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DailyReportWindow)

 public:
  static constexpr int kMinZoom = 50;
  static constexpr int kMaxZoom = 5000;
  static constexpr int kZoomStep = 50;

  // The figures come from kasso.db, or from file when one is given (head office's copy of the
  // shop server's records).
  DailyReportWindow(QWidget* parent, const reports::DateRange& range,
                    const std::filesystem::path& file = {});
  ~DailyReportWindow() override;

  int zoom() const { return zoom_; }
  const DailyReportText& text() const { return text_; }

 private:
  void ZoomIn();
  void ZoomOut();
  // Resizes the page to the zoom, scrolls back to the top left and refreshes the status bar.
  void ApplyZoom();
  void OnPrint();

  std::unique_ptr<Ui::DailyReportWindow> ui_;
  DailyReportText text_;
  ReportPageView* view_;
  QLabel* zoom_label_;
  int zoom_ = 100;
};

}  // namespace ui
