#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

#include "ui/backoffice/goods/GoodsQuantityDialog.h"

namespace Ui {
class StocktakeDialog;
}

namespace ui {

class StocktakeModel;

// "盘点": the open stocktake, which the caller has generated (GenerateStocktake). Counts are entered ("盘点", "修改"),
// imported and exported; "验收" corrects the stock and closes the screen; "重新生成" starts
// over. Closing with the stocktake open asks "有未验收的数据,是否验收?".
class StocktakeDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StocktakeDialog)

 public:
  StocktakeDialog(QWidget* parent, const QString& workno);
  ~StocktakeDialog() override;

  // Closing: asks to verify first while the stocktake is open; a refused verification keeps
  // the screen open.
  void reject() override;

 private:
  void Reload();
  // Shows the row of the goods last counted again.
  void ShowCounted();
  bool Verify();
  void OnCount();
  void OnModify();
  void OnVerify();
  void OnImport();
  void OnExport();
  void OnRegenerate();
  void OnSearch();

  std::unique_ptr<Ui::StocktakeDialog> ui_;
  StocktakeModel* model_;
  QString workno_;
  StocktakeQuantityKind kind_;
};

}  // namespace ui
