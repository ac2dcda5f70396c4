#include "app/RestoreDatabase.h"

#include "app/AuthorizationDialog.h"

namespace app {

void RestoreDatabase(QWidget* parent) {
  if (!Authorize(parent)) return;
}

}  // namespace app
