#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace ui {

// The colour that marks a main-menu module's icon.
QColor ModuleColor(int key);

// Draws the symbol of module key (1..12) in white, centred in area.
void DrawModuleGlyph(QPainter& painter, int key, const QRectF& area);

}  // namespace ui
