#pragma once

#include <QDialog>
#include <memory>

#include "core/sale/sale_ui.h"

namespace Ui {
class QuickGoodsDialog;
}

namespace ui {

// "商品快速录入": name and price for a barcode the till does not know yet. It opens with both
// empty (or the item library's name) and "确认" refuses an empty name or price, naming the
// field; the sale engine saves them.
class QuickGoodsDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(QuickGoodsDialog)

 public:
  QuickGoodsDialog(QWidget* parent, const sale::QuickGoods& suggested);
  ~QuickGoodsDialog() override;

  // The barcode with the name and price as typed.
  sale::QuickGoods goods() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::QuickGoodsDialog> ui_;
  std::string barcode_;
};

}  // namespace ui
