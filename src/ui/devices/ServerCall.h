#pragma once

#include <QApplication>
#include <QCursor>
#include <string>

#include "core/common/error.h"
#include "core/serversync/pg.h"

namespace ui {

// Runs a call that talks to the shop server under a wait cursor, telling a server failure in
// the cashier's words ("总部服务器连接失败: …"); any other error passes on unchanged.
template <typename Call>
auto WithServer(Call&& call) {
  struct RestoreCursor {
    ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
  };
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  RestoreCursor restore;
  try {
    return call();
  } catch (const serversync::PgError& error) {
    throw common::UserError(std::string("总部服务器连接失败: ") + error.what());
  }
}

// Brings a joined till's copy of the shop's data up to date before a back-office screen opens,
// under a wait cursor; a server that does not answer within two seconds leaves the last copy.
void PullSharedData();

}  // namespace ui
