#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

#include "core/backoffice/goods/goods_master.h"

class QEvent;
class QObject;

namespace Ui {
class GoodsEditDialog;
}

namespace ui {

// "商品": the editor of one goods. Add mode starts with the defaults and an empty component list
// and stays open after each save with its key fields emptied; Enter on a barcode already stored
// loads that goods, so the save then updates it, while a stored barcode saved without being
// loaded asks "该条码已存在,是否修改?" first. Modify mode shows the goods with its barcode and
// opening stock fixed and closes with OK after a save. Every goods loaded brings its own
// components into the work table.
class GoodsEditDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(GoodsEditDialog)

 public:
  // Add mode. workno is the operator, for the goods picker of the component entry.
  GoodsEditDialog(QWidget* parent, const QString& workno);
  // Modify mode for the stored goods barcode.
  GoodsEditDialog(QWidget* parent, const QString& workno, const QString& barcode);
  ~GoodsEditDialog() override;

 signals:
  // A goods was written; the list reloads its tree and rows.
  void goodsSaved();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUp();
  void LoadChoices();
  void ShowFields(const backoffice::GoodsFields& fields);
  backoffice::GoodsFields ReadFields() const;
  // Enter on the barcode in add mode: a stored goods is loaded, else the item library may
  // prefill name and unit.
  void OnBarcodeEntered();
  void SuggestPlu();
  void OnConfirm();
  void OnComponents();
  void OpenComponents();
  void FocusField(const std::string& field);

  std::unique_ptr<Ui::GoodsEditDialog> ui_;
  QString workno_;
  bool modify_mode_ = false;
  // The stored goods the fields were loaded from; empty for a new goods.
  std::string shown_barcode_;
};

}  // namespace ui
