#include <QApplication>

#include "ui/app/QtTranslations.h"
#include "ui/app/StartupShell.h"
#include "ui/devices/QtDriverPrinter.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::InstallQtTranslations(application);
  ui::InstallDriverPrinter();
  ui::StartupShell startup;
  return startup.Run();
}
