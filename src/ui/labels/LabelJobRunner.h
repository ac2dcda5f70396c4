#pragma once

#include <functional>
#include <optional>

#include "ui/labels/LabelPrintJob.h"

class QLabel;
class QWidget;

namespace ui {

// Jobs of more pages than this show their progress with a "取消" button.
inline constexpr int kProgressFromPages = 5;

// Runs a print job from a screen: "\t处理中,请稍候..." shows in `status` while it runs, a job of
// many pages shows a progress dialog whose "取消" stops it after the page being drawn, and a
// refusal or failure is shown in a box ("确认"), as is a cancelled job ("打印已取消").
// Returns the outcome; nullopt when the job was refused or failed.
std::optional<JobOutcome> RunLabelJob(QWidget* parent, QLabel* status, int pages,
                                      const std::function<JobOutcome(const PageProgress&)>& job);

}  // namespace ui
