#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/app/LoginDialog.h"
#include "ui/devices/QtDriverPrinter.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Qt's own texts (print and file dialogs, standard buttons) in Chinese like the till's,
  // from Debian's qt6-translations-l10n.
  QTranslator qt_texts;
  if (qt_texts.load("qt_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }
  ui::InstallDriverPrinter();
  ui::LoginDialog login;
  return login.Run();
}
