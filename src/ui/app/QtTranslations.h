#pragma once

class QCoreApplication;

namespace ui {

// Loads Qt's own Chinese texts into the application: the standard buttons ("确定", "取消"),
// the text fields' context menu ("复制", "粘贴") and Qt's own dialogs. Chinese whatever the
// system's language, since every caption of the program is. False when Qt's translations are
// not installed (package qt6-translations-l10n); Qt's captions then stay English.
bool InstallQtTranslations(QCoreApplication& application);

}  // namespace ui
