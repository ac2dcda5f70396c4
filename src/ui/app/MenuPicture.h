#pragma once

#include <QPoint>
#include <QWidget>
#include <optional>

#include "core/app/main_menu.h"

namespace ui {

// The main menu's picture: a title and the twelve module icons, each inside its hot spot.
// It is drawn in its native 600 x 440 coordinates stretched to the widget, and pointer
// positions are mapped back to those coordinates before they are tested against the hot spots.
class MenuPicture : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MenuPicture)

 public:
  explicit MenuPicture(QWidget* parent = nullptr);

  QSize sizeHint() const override;

  // The native picture point under a widget position.
  QPoint ToNative(const QPointF& position) const;
  std::optional<app::MenuModule> ModuleAt(const QPointF& position) const;

  // The last pointer position reported, in native coordinates.
  QPoint last_position() const { return last_position_; }
  bool outside_hot_spots() const { return outside_hot_spots_; }

 signals:
  // A click on a hot spot: the module's function key, 1..12.
  void ModuleClicked(int key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void TrackPointer(const QPointF& position);

  QPoint last_position_{-1, -1};
  bool outside_hot_spots_ = true;
  int hovered_key_ = 0;
};

}  // namespace ui
