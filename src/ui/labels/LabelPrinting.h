#pragma once

#include <QString>

class QWidget;

namespace ui {

// The goods list's "条码打印": opens the label designer ("标签打印"), which offers the simple
// fixed-layout barcode print ("条码打印") beside it. Returns when the designer closes.
void OpenLabelPrinting(QWidget* parent, const QString& workno);

}  // namespace ui
