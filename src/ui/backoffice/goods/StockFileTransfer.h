#pragma once

class QWidget;

namespace ui {

// "数据导入" of the purchase bill: asks the format, tells the layout the file must have, asks
// the file and adds its lines to the bill. True when the bill changed, so it reloads.
bool ImportPurchaseBill(QWidget* parent);

// "数据导入" of the stocktake: the same steps for a file of counts. True when counts changed.
bool ImportCounts(QWidget* parent);

// "数据导出" of the stocktake: asks the format and the file (default name "盘点") and writes
// the open stocktake.
void ExportStocktake(QWidget* parent);

}  // namespace ui
