#include "ui/labels/LabelCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/labels/label_layout.h"
#include "ui/labels/LabelPainter.h"

namespace ui {
namespace {

constexpr int kPixelsPerMm = labels::kDesignPixelsPerMm;
const QColor kGridColour(220, 255, 220);

LabelDevice CanvasDevice() { return LabelDevice::Canvas(kPixelsPerMm); }

labels::PointMm Corner() {
  return {static_cast<double>(LabelCanvas::kMargin) / kPixelsPerMm,
          static_cast<double>(LabelCanvas::kMargin) / kPixelsPerMm};
}

}  // namespace

labels::LabelGoods DesignerSample() {
  labels::LabelGoods sample;
  sample.barcode = "6901234567892";
  sample.goodsname = "商品名称";
  sample.unit = "单位";
  sample.goodsclass = "类别";
  sample.isscalegoods = "否";
  return sample;
}

LabelCanvas::LabelCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName("labelCanvas");
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
}

void LabelCanvas::SetTemplate(const labels::LabelTemplate& label) {
  label_ = label;
  selected_ = -1;
  emit FieldSelected(-1);
  Changed();
}

void LabelCanvas::SetShowBoxes(bool show) {
  show_boxes_ = show;
  update();
}

void LabelCanvas::SetPrintTitle(bool print_title) {
  label_.settings.printtitle = print_title;
  update();
}

void LabelCanvas::SetLabelSize(int width_mm, int height_mm) {
  label_.labelwidth = width_mm;
  label_.labelheight = height_mm;
  Changed();
}

void LabelCanvas::SetSelectedFontSize(const std::string& fontsize) {
  if (selected_ < 0) return;
  label_.fields[static_cast<size_t>(selected_)].fontsize = fontsize;
  Changed();
}

void LabelCanvas::SetSelectedLength(int itemwidth_mm) {
  if (selected_ < 0) return;
  label_.fields[static_cast<size_t>(selected_)].itemwidth = itemwidth_mm;
  Changed();
}

void LabelCanvas::SetFieldVisible(int key, bool visible) {
  if (key < 0 || key >= labels::kFieldCount) return;
  label_.fields[static_cast<size_t>(key)].visible = visible;
  if (!visible && selected_ == key) Select(-1);
  Changed();
}

void LabelCanvas::Select(int key) {
  selected_ = key >= 0 && key < labels::kFieldCount ? key : -1;
  emit FieldSelected(selected_);
  update();
}

QRectF LabelCanvas::FieldBox(int key) const {
  for (const labels::PlacedField& field : labels::PlaceFields(label_, DesignerSample(), Corner())) {
    if (field.key == key) return LabelFieldBox(CanvasDevice(), field);
  }
  return {};
}

QSize LabelCanvas::sizeHint() const {
  // Room for the label and for fields or symbols that reach past it.
  QRectF extent(kMargin, kMargin, label_.labelwidth * kPixelsPerMm,
                label_.labelheight * kPixelsPerMm);
  for (int key = 0; key < labels::kFieldCount; ++key) extent |= FieldBox(key);
  return {static_cast<int>(extent.right()) + 2 * kMargin,
          static_cast<int>(extent.bottom()) + 4 * kMargin};
}

void LabelCanvas::Changed() {
  setMinimumSize(sizeHint());
  updateGeometry();
  update();
}

void LabelCanvas::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const int width = label_.labelwidth * kPixelsPerMm;
  const int height = label_.labelheight * kPixelsPerMm;
  painter.setPen(kGridColour);
  for (int x = kPixelsPerMm; x < width; x += kPixelsPerMm) {
    painter.drawLine(kMargin + x, kMargin, kMargin + x, kMargin + height);
  }
  for (int y = kPixelsPerMm; y < height; y += kPixelsPerMm) {
    painter.drawLine(kMargin, kMargin + y, kMargin + width, kMargin + y);
  }
  painter.setPen(Qt::black);
  painter.drawRect(kMargin, kMargin, width, height);

  const LabelDevice device = CanvasDevice();
  for (const labels::PlacedField& field : labels::PlaceFields(label_, DesignerSample(), Corner())) {
    const QRectF box = PaintLabelField(painter, device, field);
    const bool selected = field.key == selected_;
    if (!show_boxes_ && !selected) continue;
    painter.setPen(QPen(selected ? Qt::red : Qt::blue, 1, selected ? Qt::SolidLine : Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
  }
}

void LabelCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPointF at = event->position();
  // The field drawn last lies on top.
  int hit = -1;
  for (int key = labels::kFieldCount - 1; key >= 0 && hit < 0; --key) {
    if (FieldBox(key).contains(at)) hit = key;
  }
  Select(hit);
  if (hit < 0) return;
  dragging_ = true;
  drag_start_ = event->position().toPoint();
  start_cx_ = label_.fields[static_cast<size_t>(hit)].cx;
  start_cy_ = label_.fields[static_cast<size_t>(hit)].cy;
}

void LabelCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || selected_ < 0 || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint delta = event->position().toPoint() - drag_start_;
  // Fields print at whole millimetres, so they move by whole millimetres and stay on the label.
  auto snap = [](int pixels, int label_mm) {
    const int mm = static_cast<int>(std::lround(static_cast<double>(pixels) / kPixelsPerMm));
    return std::clamp(mm, 0, std::max(label_mm - 1, 0)) * kPixelsPerMm;
  };
  labels::TemplateField& field = label_.fields[static_cast<size_t>(selected_)];
  field.cx = snap(start_cx_ + delta.x(), label_.labelwidth);
  field.cy = snap(start_cy_ + delta.y(), label_.labelheight);
  Changed();
}

void LabelCanvas::mouseReleaseEvent(QMouseEvent* /*event*/) { dragging_ = false; }

}  // namespace ui
