#include "ui/labels/LabelPrinting.h"

#include "ui/labels/LabelPrintDialog.h"

namespace ui {

void OpenLabelPrinting(QWidget* parent, const QString& workno) {
  LabelPrintDialog designer(parent, workno);
  designer.exec();
}

}  // namespace ui
