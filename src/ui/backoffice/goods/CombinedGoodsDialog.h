#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

namespace Ui {
class CombinedGoodsDialog;
}

namespace ui {

// "组合商品": the components of the combined goods in the editor, each entered in the
// barcode-and-quantity entry. Changes stay in the work table until the goods editor saves.
class CombinedGoodsDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CombinedGoodsDialog)

 public:
  CombinedGoodsDialog(QWidget* parent, const QString& workno, const QString& combined_barcode);
  ~CombinedGoodsDialog() override;

  void Reload();

 private:
  std::string SelectedBarcode() const;
  void OnAdd();
  void OnModify();
  void OnDelete();

  std::unique_ptr<Ui::CombinedGoodsDialog> ui_;
  QString workno_;
  std::string combined_barcode_;
};

}  // namespace ui
