#include "ui/common/LongTask.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace ui {
namespace {

constexpr qint64 kRepaintMs = 30;
constexpr qint64 kShowUnknownAfterMs = 500;
constexpr int kSteps = 1000;

}  // namespace

bool RunWithProgress(QWidget* parent, const QString& label, std::size_t rows,
                     const std::function<void(const files::Progress&)>& work) {
  if (rows != kRowsUnknown && rows <= kProgressRows) {
    work({});
    return true;
  }
  QProgressDialog box(label, "取消", 0, kSteps, parent);
  box.setObjectName("progressBox");
  box.setWindowTitle("提示");
  // Modal to the whole program: the events handed out between steps must not reach the
  // screen that started the work.
  box.setWindowModality(Qt::ApplicationModal);
  box.setAutoReset(false);
  box.setAutoClose(false);
  box.setMinimumDuration(0);
  box.setValue(0);
  if (rows != kRowsUnknown) box.show();
  QElapsedTimer clock;
  clock.start();
  qint64 last_paint = -kRepaintMs;
  files::Progress progress = [&](std::size_t done, std::size_t total) {
    const qint64 now = clock.elapsed();
    if (now - last_paint < kRepaintMs) return !box.wasCanceled();
    last_paint = now;
    if (!box.isVisible() && now >= kShowUnknownAfterMs) box.show();
    if (total == 0) {
      box.setMaximum(0);  // size unknown: a moving bar
    } else {
      box.setMaximum(kSteps);
      box.setValue(static_cast<int>(std::min(done, total) * kSteps / total));
    }
    QCoreApplication::processEvents();
    return !box.wasCanceled();
  };
  try {
    work(progress);
  } catch (const files::Cancelled&) {
    return false;
  }
  return true;
}

}  // namespace ui
