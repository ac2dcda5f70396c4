#include <QApplication>

#include "app/LoginDialog.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  app::LoginDialog login;
  return login.Run();
}
