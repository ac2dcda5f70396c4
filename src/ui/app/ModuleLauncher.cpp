#include "app/ModuleLauncher.h"

#include "devices/SettingsDialog.h"

namespace app {

void LaunchModule(const MenuModule& module, QWidget* parent, const QString& workno) {
  switch (module.key) {
    case 1:  // cashier screen: keyboard or touch, chosen by servicelib::GetScaleFrontSign()
      break;
    case 2:  // goods master
      break;
    case 3:  // stock
      break;
    case 4:  // members
      break;
    case 5:  // queries
      break;
    case 6:  // login accounts
      break;
    case 7:  // duty rights
      break;
    case 8: {
      devices::SettingsDialog settings(parent, workno);
      settings.exec();
      break;
    }
    case 9:  // data clear
      break;
    case 10:  // backup to a chosen folder
      break;
    case 11:  // software update
      break;
    default:  // F12 is the menu's own exit with backup
      break;
  }
}

}  // namespace app
