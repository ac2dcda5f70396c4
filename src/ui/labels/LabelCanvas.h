#pragma once

#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <array>
#include <string>

#include "core/labels/label_template.h"

namespace ui {

// The designer's drawing of one label kind at 5 pixels per millimetre: the label's outline,
// a light grid every millimetre, and each visible field drawn as it prints. Pressing the
// mouse on a field selects it; dragging moves it in whole millimetres within the label.
class LabelCanvas : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LabelCanvas)

 public:
  // Where the label's corner sits on the widget, leaving room around its outline.
  static constexpr int kMargin = 10;

  explicit LabelCanvas(QWidget* parent = nullptr);

  // The label kind shown; its print settings only decide whether captions are drawn.
  void SetTemplate(const labels::LabelTemplate& label);
  const labels::LabelTemplate& label() const { return label_; }

  void SetShowBoxes(bool show);
  void SetPrintTitle(bool print_title);
  void SetLabelSize(int width_mm, int height_mm);
  // Changes of the selected field; nothing happens while none is selected.
  void SetSelectedFontSize(const std::string& fontsize);
  void SetSelectedLength(int itemwidth_mm);
  void SetFieldVisible(int key, bool visible);

  // The selected field (a labels::FieldKey), or -1.
  int selected() const { return selected_; }
  void Select(int key);

  // The box a visible field covers on the widget, as drawn: a barcode field with the whole
  // symbol and its digits. Empty for a hidden field.
  QRectF FieldBox(int key) const;

  QSize sizeHint() const override;

 signals:
  void FieldSelected(int key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Changed();

  labels::LabelTemplate label_;
  bool show_boxes_ = false;
  int selected_ = -1;
  bool dragging_ = false;
  QPoint drag_start_;
  int start_cx_ = 0;
  int start_cy_ = 0;
};

// What the designer shows for each field: its own name in place of a goods item's value, and a
// sample goods code under the bars.
labels::LabelGoods DesignerSample();

}  // namespace ui
