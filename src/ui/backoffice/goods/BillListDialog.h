#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

#include "core/backoffice/goods/purchase_bills.h"

namespace Ui {
class BillListDialog;
}

namespace ui {

class BillListModel;

// "进货" / "返厂": the open bill of one kind. Lines are added, modified and deleted here,
// imported (purchases only), searched, and the bill is verified ("验收"), which closes the
// screen. Closing with lines left asks "有未验收的数据,是否验收?".
class BillListDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(BillListDialog)

 public:
  BillListDialog(QWidget* parent, backoffice::BillKind kind, const QString& workno);
  ~BillListDialog() override;

  // Closing: asks to verify first while the bill has lines; a refused verification keeps the
  // screen open.
  void reject() override;

 private:
  void Reload();
  // The barcode of the selected line; empty when none is selected.
  std::string SelectedBarcode() const;
  // Verifies the bill; false (after the message) when it was refused.
  bool Verify();
  void OnAdd();
  void OnModify();
  void OnDelete();
  void OnVerify();
  void OnImport();
  void OnSearch();

  std::unique_ptr<Ui::BillListDialog> ui_;
  backoffice::BillKind kind_;
  BillListModel* model_;
  QString workno_;
};

}  // namespace ui
