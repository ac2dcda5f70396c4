#include <QApplication>

#include "ui/app/LoginDialog.h"
#include "ui/devices/QtDriverPrinter.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::InstallDriverPrinter();
  ui::LoginDialog login;
  return login.Run();
}
