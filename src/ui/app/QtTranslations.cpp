#include "ui/app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace ui {

bool InstallQtTranslations(QCoreApplication& application) {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  // Owned by the application, so the texts stay loaded for as long as it runs.
  translator->setParent(&application);
  return QCoreApplication::installTranslator(translator.release());
}

}  // namespace ui
