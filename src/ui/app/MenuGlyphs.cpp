#include "ui/app/MenuGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>

namespace ui {
namespace {

// Each symbol is drawn in a 100 x 100 box centred on the origin.
void DrawRegister(QPainter& p) {
  p.drawRect(QRectF(-22, -38, 44, 24));
  p.drawLine(QPointF(0, -14), QPointF(0, -4));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(-38, -4, 76, 40), 6, 6);
}

void DrawTag(QPainter& p) {
  QPainterPath tag;
  tag.moveTo(-36, -22);
  tag.lineTo(12, -22);
  tag.lineTo(38, 0);
  tag.lineTo(12, 22);
  tag.lineTo(-36, 22);
  tag.closeSubpath();
  p.drawPath(tag);
  p.drawEllipse(QPointF(-20, 0), 6, 6);
}

void DrawBoxes(QPainter& p) {
  p.drawRect(QRectF(-38, 2, 36, 34));
  p.drawRect(QRectF(2, 2, 36, 34));
  p.drawRect(QRectF(-18, -36, 36, 34));
}

void DrawPerson(QPainter& p) {
  p.drawEllipse(QPointF(0, -18), 17, 17);
  QPainterPath body;
  body.moveTo(-36, 38);
  body.cubicTo(-36, 4, 36, 4, 36, 38);
  body.closeSubpath();
  p.drawPath(body);
}

void DrawMagnifier(QPainter& p) {
  p.drawEllipse(QPointF(-8, -8), 24, 24);
  QPen pen = p.pen();
  pen.setWidthF(pen.widthF() * 1.6);
  p.setPen(pen);
  p.drawLine(QPointF(11, 11), QPointF(34, 34));
}

void DrawCard(QPainter& p) {
  p.drawRoundedRect(QRectF(-42, -30, 84, 60), 8, 8);
  p.drawEllipse(QPointF(-19, -6), 9, 9);
  p.drawLine(QPointF(-31, 16), QPointF(-7, 16));
  p.drawLine(QPointF(6, -10), QPointF(30, -10));
  p.drawLine(QPointF(6, 6), QPointF(30, 6));
}

void DrawShield(QPainter& p) {
  QPainterPath shield;
  shield.moveTo(0, -40);
  shield.lineTo(34, -28);
  shield.cubicTo(34, 8, 20, 28, 0, 40);
  shield.cubicTo(-20, 28, -34, 8, -34, -28);
  shield.closeSubpath();
  p.drawPath(shield);
  p.drawPolyline(std::array{QPointF(-14, 0), QPointF(-3, 12), QPointF(16, -12)}.data(), 3);
}

void DrawGear(QPainter& p) {
  p.drawEllipse(QPointF(0, 0), 24, 24);
  p.drawEllipse(QPointF(0, 0), 8, 8);
  QPen pen = p.pen();
  pen.setWidthF(pen.widthF() * 1.8);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  for (int tooth = 0; tooth < 8; ++tooth) {
    p.save();
    p.rotate(tooth * 45.0);
    p.drawLine(QPointF(0, -26), QPointF(0, -40));
    p.restore();
  }
}

void DrawBin(QPainter& p) {
  p.drawLine(QPointF(-36, -26), QPointF(36, -26));
  p.drawRect(QRectF(-10, -38, 20, 12));
  QPainterPath body;
  body.moveTo(-27, -18);
  body.lineTo(-21, 38);
  body.lineTo(21, 38);
  body.lineTo(27, -18);
  p.drawPath(body);
  p.drawLine(QPointF(-8, -6), QPointF(-7, 26));
  p.drawLine(QPointF(8, -6), QPointF(7, 26));
}

void DrawCylinder(QPainter& p) {
  p.drawEllipse(QRectF(-32, -40, 64, 22));
  p.drawLine(QPointF(-32, -29), QPointF(-32, 29));
  p.drawLine(QPointF(32, -29), QPointF(32, 29));
  p.drawArc(QRectF(-32, -11, 64, 22), 180 * 16, 180 * 16);
  p.drawArc(QRectF(-32, 18, 64, 22), 180 * 16, 180 * 16);
}

void DrawUpArrow(QPainter& p) {
  p.drawEllipse(QPointF(0, 0), 40, 40);
  p.drawLine(QPointF(0, 24), QPointF(0, -22));
  p.drawPolyline(std::array{QPointF(-17, -5), QPointF(0, -22), QPointF(17, -5)}.data(), 3);
}

void DrawPower(QPainter& p) {
  p.drawArc(QRectF(-34, -30, 68, 68), 120 * 16, 300 * 16);
  p.drawLine(QPointF(0, -42), QPointF(0, -2));
}

}  // namespace

QColor ModuleColor(int key) {
  static const std::array<QColor, 12> kColors = {
      QColor(0xe6, 0x7e, 0x22), QColor(0x2e, 0x86, 0xc1), QColor(0x8e, 0x44, 0xad),
      QColor(0xd6, 0x3a, 0x7a), QColor(0x16, 0xa0, 0x85), QColor(0x34, 0x49, 0x5e),
      QColor(0xc0, 0x39, 0x2b), QColor(0x6c, 0x7a, 0x89), QColor(0xd3, 0x54, 0x00),
      QColor(0x27, 0xae, 0x60), QColor(0x29, 0x80, 0xb9), QColor(0xb0, 0x2e, 0x26)};
  return kColors[static_cast<size_t>(std::clamp(key, 1, 12) - 1)];
}

void DrawModuleGlyph(QPainter& painter, int key, const QRectF& area) {
  painter.save();
  painter.translate(area.center());
  double scale = std::min(area.width(), area.height()) / 100.0;
  painter.scale(scale, scale);
  QPen pen(Qt::white, 7.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  using Glyph = void (*)(QPainter&);
  static constexpr std::array<Glyph, 12> kGlyphs = {
      &DrawRegister, &DrawTag,  &DrawBoxes, &DrawPerson,   &DrawMagnifier, &DrawCard,
      &DrawShield,   &DrawGear, &DrawBin,   &DrawCylinder, &DrawUpArrow,   &DrawPower};
  kGlyphs[static_cast<size_t>(std::clamp(key, 1, 12) - 1)](painter);
  painter.restore();
}

}  // namespace ui
