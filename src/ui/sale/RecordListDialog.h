#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/sale/record_lists.h"

namespace Ui {
class RecordListDialog;
}

namespace ui {

// "选择": the record chooser. Lists the records of one mode (parked sales, closed shifts,
// past sales, verified stocktakes), opens with the first row selected and closes on "确认" with the
// key of the selected row; "确认" without a selection says "请选择记录" and stays open.
class RecordListDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(RecordListDialog)

 public:
  RecordListDialog(QWidget* parent, const QString& mode, sale::RecordList list);
  ~RecordListDialog() override;

  // Loads the mode's list and runs the chooser. The chosen key; nullopt when cancelled or
  // when the list could not be read (its message, "数据有误" or "班次有误", is shown and the
  // chooser does not open).
  static std::optional<std::string> Choose(QWidget* parent, std::string_view mode);
  // Mode "盘点单": the stocktakes verified from start to end; the chosen stocktake's
  // confirmation time.
  static std::optional<std::string> ChooseStocktake(QWidget* parent, const std::string& start,
                                                    const std::string& end);
  // The same for the numbered modes: the chosen list, shift or transaction number.
  static std::optional<std::int64_t> ChooseNumber(QWidget* parent, std::string_view mode);

  const QString& mode() const { return mode_; }
  // The key of the row chosen with "确认"; empty until then.
  const std::string& key() const { return key_; }
  // Selects a row (for keyboard-free callers and tests); false when there is no such row.
  bool SelectRow(int row);

 private:
  void OnConfirm();

  std::unique_ptr<Ui::RecordListDialog> ui_;
  QString mode_;
  sale::RecordList list_;
  std::string key_;
};

}  // namespace ui
