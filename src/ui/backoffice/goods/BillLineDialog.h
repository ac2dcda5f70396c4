#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

#include "core/backoffice/goods/purchase_bills.h"

class QEvent;
class QLineEdit;
class QObject;

namespace Ui {
class BillLineDialog;
}

namespace ui {

// "进货录入" / "返厂录入": one line of the open bill. Enter on the barcode loads its line (an
// unknown barcode opens the quick goods entry first) and moves to the quantity; Enter on the
// quantity moves to the price; Enter on the price fills the amount, on the amount the price;
// Enter on "确认" asks "保存?". Of price and amount, the one typed last decides the other; a
// changed quantity keeps the price. A purchase line of a goods not on the bill starts at the
// goods' last import price. "..." picks the barcode from the goods list (right
// "baseinfo"). A new entry stays open after each save with its fields emptied; a modify entry
// has its barcode fixed and closes after the save.
class BillLineDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(BillLineDialog)

 public:
  // New lines. workno is the operator, for the picker's right check.
  BillLineDialog(QWidget* parent, backoffice::BillKind kind, const QString& workno);
  // Modifies the line of barcode.
  BillLineDialog(QWidget* parent, backoffice::BillKind kind, const QString& workno,
                 const QString& barcode);
  ~BillLineDialog() override;

 signals:
  // A line was stored; the bill behind reloads.
  void saved();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUp();
  void ResetFields();
  backoffice::BillLineFields Fields() const;
  // Loads the line of the barcode field; false (after the message) when it is refused.
  bool LoadLine();
  void EnterPrice();
  void EnterAmount();
  // Notes that the user typed in field, which decides between price and amount on the save.
  void Typed(backoffice::LineField field);
  void Focus(QLineEdit* field);
  // Shows a refusal and puts the focus on the field it names.
  void Refuse(const std::string& message, const std::string& field);
  void OnPick();
  void OnConfirm();

  std::unique_ptr<Ui::BillLineDialog> ui_;
  backoffice::BillKind kind_;
  QString workno_;
  bool modify_mode_ = false;
  backoffice::LineChange changed_ = backoffice::LineChange::kNone;
};

}  // namespace ui
