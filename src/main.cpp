#include <QApplication>

#include "ui/app/LoginDialog.h"
#include "ui/app/QtTranslations.h"
#include "ui/devices/QtDriverPrinter.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::InstallQtTranslations(application);
  ui::InstallDriverPrinter();
  ui::LoginDialog login;
  return login.Run();
}
