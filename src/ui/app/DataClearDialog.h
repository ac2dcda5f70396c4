#pragma once

#include <QDialog>
#include <memory>
#include <string_view>
#include <vector>

#include "core/app/data_clear.h"

namespace Ui {
class DataClearDialog;
}

namespace ui {

// "数据清除": empties the ticked groups of tables after the authorization password, showing
// the progress under the boxes; with nothing ticked it says so and asks for nothing. A safety copy
// is written first, and the final message says where, so a mistaken clear can be undone with a
// restore.
class DataClearDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(DataClearDialog)

 public:
  explicit DataClearDialog(QWidget* parent = nullptr);
  ~DataClearDialog() override;

  // The logged-in account the audit trail names for the clear.
  void SetActor(const QString& workno) { actor_ = workno; }

 private:
  std::vector<app::ClearGroup> CheckedGroups() const;
  void OnStart();
  void ShowProgress(std::string_view text, int done);
  void SetBusy(bool busy);

  std::unique_ptr<Ui::DataClearDialog> ui_;
  QString actor_;
};

}  // namespace ui
