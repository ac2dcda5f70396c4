#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

#include "core/labels/label_template.h"

class QListWidgetItem;

namespace Ui {
class LabelPrintDialog;
}

namespace ui {

class LabelCanvas;

// "标签打印": the label designer with its stored templates. "模板设计" shows one label kind at
// 5 pixels per mm, whose fields are selected and dragged with the mouse and given a font size,
// a length and visibility; the print settings choose paper, printer, columns, margins and
// captions; the run prints by barcode, by class, the purchase bill being entered or the goods
// chosen in "范围选择". "保存模板" stores the template, "模板导出" and "模板导入" carry all
// templates through labelprint.db, and "条码打印" opens the simple fixed layouts beside it.
class LabelPrintDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LabelPrintDialog)

 public:
  // workno names who opened the screen; labels need no further right.
  LabelPrintDialog(QWidget* parent, const QString& workno);
  ~LabelPrintDialog() override;

  LabelCanvas* canvas() const { return canvas_; }
  // The template as the screen shows it: the canvas's kind, size and fields with the typed
  // print settings.
  labels::LabelTemplate CurrentTemplate() const;

 private:
  void LoadKind(const std::string& kind, bool with_settings);
  void ShowSettings(const labels::PrintSettings& settings);
  void ShowSelectedField(int key);
  void ShowSizeCaption();
  void UpdatePaperControls();
  // SaveTemplate of what the screen shows; false (and a message) when it failed or when the
  // template shown was not read from the database.
  bool SaveShown();
  void OnKindChanged();
  void OnItemChanged(QListWidgetItem* item);
  void OnSize();
  void OnRange();
  void OnSimplePrint();
  void OnSave();
  void OnExport();
  void OnImport();
  void OnPrint();

  std::unique_ptr<Ui::LabelPrintDialog> ui_;
  LabelCanvas* canvas_;
  bool loading_ = false;
  // Whether the kind's fields and the print settings shown were read from the database.
  bool kind_read_ = false;
  bool settings_read_ = false;
};

}  // namespace ui
