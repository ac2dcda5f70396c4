#pragma once

class QWidget;

namespace ui {

// "数据导出" of the goods list: asks the format and the file, writes every goods.
void ExportGoods(QWidget* parent);

// "数据导入" of the goods list: asks the format and the file and adds the goods it holds; true
// when goods were added, so the list reloads.
bool ImportGoods(QWidget* parent);

}  // namespace ui
