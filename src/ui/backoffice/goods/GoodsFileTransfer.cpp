#include "ui/backoffice/goods/GoodsFileTransfer.h"

namespace ui {

void ExportGoods(QWidget* /*parent*/) {}

bool ImportGoods(QWidget* /*parent*/) { return false; }

}  // namespace ui
