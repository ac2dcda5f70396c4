#include <QApplication>

#include "app/LoginDialog.h"
#include "devices/QtDriverPrinter.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::InstallDriverPrinter();
  app::LoginDialog login;
  return login.Run();
}
