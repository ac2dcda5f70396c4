#pragma once

#include <QString>

#include "core/app/main_menu.h"

class QWidget;

namespace ui {

// Opens the screen of a main-menu module modally above parent for the logged-in account.
// The menu has already checked the module's right.
void LaunchModule(const app::MenuModule& module, QWidget* parent, const QString& workno);

}  // namespace ui
