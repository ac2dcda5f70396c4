#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "core/settings/settings.h"

class QKeyEvent;
class QWidget;

namespace Ui {
class SettingsDialog;
}

namespace ui {

// "设定": the manager's view of the settings row. It fills from the database when it opens,
// saves on "保存设定" (staying open so further changes can follow) and closes on "取消".
class SettingsDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(SettingsDialog)

 public:
  // The settings are shared by every operator; workno only names who opened the screen.
  SettingsDialog(QWidget* parent, const QString& workno);
  ~SettingsDialog() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FillChoiceLists();
  void LoadFromDatabase();
  void ShowRecord(const settings::Settings& record);
  // Reads the controls; throws kasso::ValidationError for a field that cannot be stored.
  settings::Settings ReadRecord() const;
  void OnSave();
  void OnDownloadPlu();
  // Focuses the control of a settings column named by a validation error.
  void FocusField(const std::string& field);

  std::unique_ptr<Ui::SettingsDialog> ui_;
  QString workno_;  // the logged-in account, named in the audit trail
};

}  // namespace ui
