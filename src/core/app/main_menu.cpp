#include "core/app/main_menu.h"

#include <stdexcept>

#include "core/lookups/open_or.h"
#include "core/lookups/operators.h"

namespace app {

std::optional<MenuModule> HotSpotAt(int x, int y) {
  for (const MenuModule& module : kMenuModules) {
    if (module.left < x && x < module.right && module.top < y && y < module.bottom) {
      return module;
    }
  }
  return std::nullopt;
}

const MenuModule& ModuleForKey(int key) {
  if (key < 1 || key > static_cast<int>(kMenuModules.size())) {
    throw std::out_of_range("no menu module for that key");
  }
  return kMenuModules[static_cast<size_t>(key - 1)];
}

bool HasRight(const std::string& workno, lookups::Right right) {
  return lookups::OpenOr(false,
                         [&](store::Database& db) { return lookups::HasRight(db, right, workno); });
}

}  // namespace app
