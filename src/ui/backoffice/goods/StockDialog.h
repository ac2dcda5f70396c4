#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "core/backoffice/goods/purchase_bills.h"

namespace Ui {
class StockDialog;
}

namespace ui {

class StockListModel;

// "库存": the stock and its value of the goods of the class chosen in the tree ("全部" and the
// classes in use), with a total row. Opens the purchase and return bills and the stocktake
// (refused while a bill waits for verification) and reloads after each. On a till joined to a
// shop server the stock is the shop's, and the dialog says as of when.
class StockDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StockDialog)

 public:
  StockDialog(QWidget* parent, const QString& workno);
  ~StockDialog() override;

  // Reads the class tree again, keeping the chosen class while it still exists, and its rows.
  void Reload();

 private:
  // The class of the selected tree item; nullopt for "全部".
  void LoadRows();
  // "全店库存, 截至 ..." on a till joined to a shop server; hidden on any other.
  void ShowAsOf();
  void OpenBill(backoffice::BillKind kind);
  void OnStocktake();
  void OnSearch();

  std::unique_ptr<Ui::StockDialog> ui_;
  StockListModel* model_;
  QString workno_;
};

}  // namespace ui
