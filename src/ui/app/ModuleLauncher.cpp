#include "ui/app/ModuleLauncher.h"

#include "core/settings/settings.h"
#include "ui/app/DataClearDialog.h"
#include "ui/app/DutyRightsDialog.h"
#include "ui/app/ManualBackup.h"
#include "ui/app/OperatorListDialog.h"
#include "ui/app/UpdateDialog.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/backoffice/goods/StockDialog.h"
#include "ui/backoffice/members/MemberListDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/ServerCall.h"
#include "ui/devices/SettingsDialog.h"
#include "ui/reports/QueryDialog.h"
#include "ui/sale/SalesFrontDialog.h"
#include "ui/touch/TouchFrontDialog.h"

namespace ui {
namespace {

// The touch cashier screen when the settings say so; the keyboard one when they cannot be read.
bool TouchFrontChosen() {
  try {
    store::Database db;
    return settings::LoadSettings(db).touch_front;
  } catch (const store::DbError&) {
    return false;
  }
}

}  // namespace

void LaunchModule(const app::MenuModule& module, QWidget* parent, const QString& workno) {
  // A back-office screen opens on the shop's latest data when the server answers, and on the
  // till's last copy when it does not.
  if (module.key != 1) ui::PullSharedData();
  switch (module.key) {
    case 1: {  // cashier screen: touch when the scale front is switched on, else keyboard
      if (TouchFrontChosen()) {
        ui::TouchFrontDialog front(parent, workno);
        front.exec();
        break;
      }
      ui::SalesFrontDialog front(parent, workno);
      front.exec();
      break;
    }
    case 2: {  // goods master
      GoodsListDialog goods(parent, workno);
      goods.exec();
      break;
    }
    case 3: {  // stock
      StockDialog stock(parent, workno);
      stock.exec();
      break;
    }
    case 4: {  // members
      MemberListDialog members(parent, workno);
      members.exec();
      break;
    }
    case 5: {  // queries and the daily report
      QueryDialog queries(parent, workno);
      queries.exec();
      break;
    }
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
      ui::SettingsDialog settings(parent, workno);
      settings.exec();
      break;
    }
    case 9: {  // data clear
      DataClearDialog clear(parent);
      clear.SetActor(workno);
      clear.exec();
      break;
    }
    case 10:  // backup to a chosen folder
      BackUpToChosenFolder(parent, RemovableMedia(), workno);
      break;
    case 11: {  // software update
      UpdateDialog update(parent);
      update.exec();
      break;
    }
    default:  // F12 is the menu's own exit with backup
      break;
  }
}

}  // namespace ui
