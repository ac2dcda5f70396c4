#pragma once

#include <QString>

namespace ui {

// The program's version as the banners show it ("V1.0-3"), from the project version.
QString VersionText();

}  // namespace ui
