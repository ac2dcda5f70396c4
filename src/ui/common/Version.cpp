#include "ui/common/Version.h"

namespace ui {

QString VersionText() { return QStringLiteral(TILLWISE_VERSION_TEXT); }

}  // namespace ui
