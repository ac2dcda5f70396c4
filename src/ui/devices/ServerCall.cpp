#include "ui/devices/ServerCall.h"

#include <exception>

#include "core/serversync/shared_data.h"
#include "core/store/outbox.h"

namespace ui {

void PullSharedData() {
  try {
    store::Database db;
    if (!store::IsJoined(db)) return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    struct RestoreCursor {
      ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;
    serversync::PullOptions quick;
    quick.connect_timeout = 2;
    serversync::PullChanges(db, quick);
  } catch (const std::exception&) {
    // Offline the screen works on the last copy; edits say why they cannot be saved.
  }
}

}  // namespace ui
