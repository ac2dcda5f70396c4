#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class BarcodePrintDialog;
}

namespace ui {

// "条码打印": prints goods labels (three across) or shelf labels (one per page) in fixed
// layouts, without a template, for a class, the purchase bill being entered or one barcode,
// on a printer chosen by name (a name ending in ".pdf" writes that PDF file).
class BarcodePrintDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(BarcodePrintDialog)

 public:
  explicit BarcodePrintDialog(QWidget* parent = nullptr);
  ~BarcodePrintDialog() override;

 private:
  void LoadClasses();
  void OnPrint();

  std::unique_ptr<Ui::BarcodePrintDialog> ui_;
};

}  // namespace ui
