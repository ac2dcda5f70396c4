#pragma once

#include <QFont>
#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <optional>

#include "core/app/main_menu.h"

namespace ui {

// The main menu's picture: a title, the shop and the session, and the twelve module icons, each
// inside its hot spot.
// It is drawn in its native 600 x 440 coordinates stretched to the widget, and pointer
// positions are mapped back to those coordinates before they are tested against the hot spots.
class MenuPicture : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MenuPicture)

 public:
  explicit MenuPicture(QWidget* parent = nullptr);

  QSize sizeHint() const override;

  // The shop's name and the line naming the operator and the date, shown on the right of the
  // title band.
  void SetSession(const QString& shop, const QString& session);
  const QString& shop() const { return shop_; }
  const QString& session() const { return session_; }

  // Where a module's caption is written, in native coordinates, and in which font (the
  // widget's, at a fixed pixel size): both scale with the picture, so a caption that fits its
  // tile here fits at every window size.
  static QRectF CaptionArea(const app::MenuModule& module);
  static QFont CaptionFont(const QFont& base);

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

  QString shop_;
  QString session_;
  QPoint last_position_{-1, -1};
  bool outside_hot_spots_ = true;
  int hovered_key_ = 0;
};

}  // namespace ui
