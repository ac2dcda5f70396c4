#include "app/ModuleLauncher.h"

#include "app/DataClearDialog.h"
#include "app/DutyRightsDialog.h"
#include "app/ManualBackup.h"
#include "app/OperatorListDialog.h"
#include "common/MessageBox.h"
#include "devices/SettingsDialog.h"
#include "sale/SalesFrontDialog.h"
#include "servicelib/kasso_basic.h"

namespace app {

void LaunchModule(const MenuModule& module, QWidget* parent, const QString& workno) {
  switch (module.key) {
    case 1: {  // cashier screen: keyboard or touch, chosen by servicelib::GetScaleFrontSign()
      if (servicelib::GetScaleFrontSign() != "否") {
        ui::ShowMessage(parent, "触摸前台尚未安装");
        break;
      }
      sale::SalesFrontDialog front(parent, workno);
      front.exec();
      break;
    }
    case 2:  // goods master
      break;
    case 3:  // stock
      break;
    case 4:  // members
      break;
    case 5:  // queries
      break;
    case 6: {  // login accounts
      OperatorListDialog accounts(parent, workno);
      accounts.exec();
      break;
    }
    case 7: {  // duty rights
      DutyRightsDialog rights(parent, workno);
      rights.exec();
      break;
    }
    case 8: {
      devices::SettingsDialog settings(parent, workno);
      settings.exec();
      break;
    }
    case 9: {  // data clear
      DataClearDialog clear(parent);
      clear.exec();
      break;
    }
    case 10:  // backup to a chosen folder
      BackUpToChosenFolder(parent);
      break;
    case 11:  // software update
      break;
    default:  // F12 is the menu's own exit with backup
      break;
  }
}

}  // namespace app
