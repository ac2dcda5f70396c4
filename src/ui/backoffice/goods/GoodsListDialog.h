#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>
#include <string>

class QTreeWidgetItem;

namespace Ui {
class GoodsListDialog;
}

namespace ui {

class GoodsListModel;

// "商品信息": the goods list, opened maximised, with the class tree ("全部" and the classes in
// use) beside the goods of the chosen class. Goods are added, modified, deleted, searched,
// exported and imported from here. As a picker it also shows "选择", which returns the barcode
// of the selected goods.
class GoodsListDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(GoodsListDialog)

 public:
  enum class Mode { kMaintain, kPick };

  GoodsListDialog(QWidget* parent, const QString& workno, Mode mode = Mode::kMaintain);
  ~GoodsListDialog() override;

  // The goods picker of the entry screens: refuses an account without the "baseinfo" right
  // ("您没有这个权限"), else opens the list with "选择". The barcode chosen, or nullopt when the
  // list was closed without one.
  static std::optional<std::string> PickGoods(QWidget* parent, const QString& workno);

  // The barcode "选择" returned; empty before.
  const std::string& chosenBarcode() const { return chosen_; }

  // Reads the class tree again, keeping the chosen class while it still exists, and the goods
  // of that class.
  void Reload();

 private:
  // The class of the selected tree item; nullopt for "全部".
  void LoadRows();
  // The barcode of the selected row; empty when none is selected.
  std::string SelectedBarcode() const;
  void OnAdd();
  void OnModify();
  void OnDelete();
  void OnExport();
  void OnImport();
  void OnLabelPrinting();
  void OnSearch();
  void OnChoose();

  std::unique_ptr<Ui::GoodsListDialog> ui_;
  GoodsListModel* model_;
  QString workno_;
  std::string chosen_;
};

}  // namespace ui
