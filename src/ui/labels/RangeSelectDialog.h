#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "core/labels/batch_select.h"

namespace Ui {
class RangeSelectDialog;
}

namespace ui {

template <typename Item>
class RowTableModel;

// "条码打印范围选择": builds the list of goods to label (goodsbatchselect). The class tree
// chooses which goods are listed under "商品信息"; "选中" adds the chosen ones with one label
// each; the upper list "选中商品" shows the selection, whose counts "编辑" changes and whose
// lines "删除" removes. The selection stays for later runs.
class RangeSelectDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(RangeSelectDialog)

 public:
  explicit RangeSelectDialog(QWidget* parent = nullptr);
  ~RangeSelectDialog() override;

  // Lists the goods of a class (labels::kAllClasses for all) below.
  void ShowClass(const std::string& classname);
  // Reads the selection again.
  void RefreshSelection();

 private:
  void OnClassChosen();
  void OnSelect();
  void OnEdit();
  void OnDelete();

  std::unique_ptr<Ui::RangeSelectDialog> ui_;
  RowTableModel<labels::GoodsRow>* goods_model_;
  RowTableModel<labels::BatchLine>* batch_model_;
};

}  // namespace ui
