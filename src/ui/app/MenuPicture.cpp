#include "ui/app/MenuPicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "ui/app/MenuGlyphs.h"
#include "ui/common/Version.h"

namespace ui {
namespace {

constexpr double kTileRadius = 9.0;
constexpr double kKeyBandHeight = 14.0;
constexpr double kCaptionBandHeight = 19.0;

QRectF HotSpotRect(const app::MenuModule& module) {
  return QRectF(QPointF(module.left, module.top), QPointF(module.right, module.bottom));
}

QRectF TileRect(const app::MenuModule& module) {
  return HotSpotRect(module).adjusted(1.5, 1.5, -1.5, -1.5);
}

void DrawBackground(QPainter& p) {
  QLinearGradient sky(0, 0, 0, app::kMenuPictureHeight);
  sky.setColorAt(0.0, QColor(0xf3, 0xf7, 0xfc));
  sky.setColorAt(1.0, QColor(0xd3, 0xe2, 0xf1));
  p.fillRect(QRectF(0, 0, app::kMenuPictureWidth, app::kMenuPictureHeight), sky);

  QLinearGradient band(0, 0, app::kMenuPictureWidth, 0);
  band.setColorAt(0.0, QColor(0x1b, 0x4f, 0x72));
  band.setColorAt(1.0, QColor(0x2e, 0x86, 0xc1));
  p.fillRect(QRectF(0, 0, app::kMenuPictureWidth, 84), band);
  p.fillRect(QRectF(0, 84, app::kMenuPictureWidth, 3), QColor(0xf0, 0xa5, 0x30));
}

void DrawTitle(QPainter& p) {
  QFont title = p.font();
  title.setPixelSize(34);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(96, 14, 300, 48), Qt::AlignLeft | Qt::AlignVCenter, "Tillwise");

  QFont version = p.font();
  version.setPixelSize(13);
  version.setBold(false);
  p.setFont(version);
  p.setPen(QColor(0xd6, 0xea, 0xf8));
  p.drawText(QRectF(96, 56, 300, 20), Qt::AlignLeft | Qt::AlignVCenter, VersionText());

  p.setPen(QColor(0x5d, 0x6d, 0x7e));
  p.drawText(QRectF(0, 410, app::kMenuPictureWidth - 24, 20), Qt::AlignRight | Qt::AlignVCenter,
             "Tillwise V1.0");
}

// The shop's name and the session on the right of the band, cut with "…" rather than running
// into the title.
void DrawSession(QPainter& p, const QString& shop, const QString& session) {
  const QRectF area(300, 14, app::kMenuPictureWidth - 300 - 24, 62);
  QFont name = p.font();
  name.setPixelSize(20);
  name.setBold(true);
  p.setFont(name);
  p.setPen(Qt::white);
  p.drawText(QRectF(area.left(), area.top(), area.width(), 34), Qt::AlignRight | Qt::AlignVCenter,
             QFontMetrics(name).elidedText(shop, Qt::ElideRight, static_cast<int>(area.width())));

  QFont line = p.font();
  line.setPixelSize(13);
  line.setBold(false);
  p.setFont(line);
  p.setPen(QColor(0xd6, 0xea, 0xf8));
  p.drawText(
      QRectF(area.left(), area.top() + 38, area.width(), 22), Qt::AlignRight | Qt::AlignVCenter,
      QFontMetrics(line).elidedText(session, Qt::ElideRight, static_cast<int>(area.width())));
}

void DrawTile(QPainter& p, const app::MenuModule& module, bool hovered) {
  QRectF tile = TileRect(module);
  QColor color = ModuleColor(module.key);

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 28));
  p.drawRoundedRect(tile.translated(1.5, 2.0), kTileRadius, kTileRadius);

  QLinearGradient face(tile.topLeft(), tile.bottomLeft());
  face.setColorAt(0.0, hovered ? QColor(0xff, 0xfb, 0xea) : Qt::white);
  face.setColorAt(1.0, hovered ? QColor(0xfd, 0xeb, 0xc8) : QColor(0xee, 0xf3, 0xf8));
  p.setBrush(face);
  p.setPen(
      QPen(hovered ? QColor(0xf0, 0xa5, 0x30) : QColor(0xb8, 0xc7, 0xd6), hovered ? 2.0 : 1.0));
  p.drawRoundedRect(tile, kTileRadius, kTileRadius);

  QFont key = p.font();
  key.setPixelSize(10);
  key.setBold(true);
  p.setFont(key);
  p.setPen(color.darker(115));
  p.drawText(QRectF(tile.left() + 5, tile.top() + 2, 30, kKeyBandHeight),
             Qt::AlignLeft | Qt::AlignVCenter, QString("F%1").arg(module.key));

  QRectF icon_area(tile.left(), tile.top() + kKeyBandHeight, tile.width(),
                   tile.height() - kKeyBandHeight - kCaptionBandHeight);
  double diameter = std::min(icon_area.width() - 12.0, icon_area.height());
  QRectF circle(0, 0, diameter, diameter);
  circle.moveCenter(icon_area.center());
  QRadialGradient disc(circle.center() - QPointF(diameter / 5, diameter / 5), diameter * 0.8);
  disc.setColorAt(0.0, color.lighter(130));
  disc.setColorAt(1.0, color);
  p.setPen(Qt::NoPen);
  p.setBrush(disc);
  p.drawEllipse(circle);
  DrawModuleGlyph(
      p, module.key,
      circle.adjusted(diameter * 0.2, diameter * 0.2, -diameter * 0.2, -diameter * 0.2));

  p.setFont(MenuPicture::CaptionFont(p.font()));
  p.setPen(QColor(0x1c, 0x28, 0x33));
  p.drawText(MenuPicture::CaptionArea(module), Qt::AlignHCenter | Qt::AlignVCenter,
             QString::fromUtf8(module.caption));
}

}  // namespace

MenuPicture::MenuPicture(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setObjectName("menuPicture");
}

QSize MenuPicture::sizeHint() const { return {app::kMenuPictureWidth, app::kMenuPictureHeight}; }

QRectF MenuPicture::CaptionArea(const app::MenuModule& module) {
  QRectF tile = TileRect(module);
  return {tile.left(), tile.bottom() - kCaptionBandHeight, tile.width(), kCaptionBandHeight - 3};
}

QFont MenuPicture::CaptionFont(const QFont& base) {
  QFont caption = base;
  caption.setPixelSize(12);
  caption.setBold(false);
  return caption;
}

void MenuPicture::SetSession(const QString& shop, const QString& session) {
  if (shop == shop_ && session == session_) return;
  shop_ = shop;
  session_ = session;
  update();
}

QPoint MenuPicture::ToNative(const QPointF& position) const {
  double width = std::max(1, this->width());
  double height = std::max(1, this->height());
  return QPoint(static_cast<int>(std::floor(position.x() * app::kMenuPictureWidth / width)),
                static_cast<int>(std::floor(position.y() * app::kMenuPictureHeight / height)));
}

std::optional<app::MenuModule> MenuPicture::ModuleAt(const QPointF& position) const {
  QPoint native = ToNative(position);
  return app::HotSpotAt(native.x(), native.y());
}

void MenuPicture::TrackPointer(const QPointF& position) {
  last_position_ = ToNative(position);
  std::optional<app::MenuModule> module = app::HotSpotAt(last_position_.x(), last_position_.y());
  outside_hot_spots_ = !module.has_value();
  if (outside_hot_spots_) {
    unsetCursor();
  } else {
    setCursor(Qt::PointingHandCursor);
  }
  int hovered = module ? module->key : 0;
  if (hovered != hovered_key_) {
    hovered_key_ = hovered;
    update();
  }
}

void MenuPicture::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(static_cast<double>(width()) / app::kMenuPictureWidth,
          static_cast<double>(height()) / app::kMenuPictureHeight);
  DrawBackground(p);
  DrawTitle(p);
  DrawSession(p, shop_, session_);
  for (const app::MenuModule& module : app::kMenuModules)
    DrawTile(p, module, module.key == hovered_key_);
}

void MenuPicture::mouseMoveEvent(QMouseEvent* event) {
  TrackPointer(event->position());
  QWidget::mouseMoveEvent(event);
}

void MenuPicture::mousePressEvent(QMouseEvent* event) {
  TrackPointer(event->position());
  QWidget::mousePressEvent(event);
}

void MenuPicture::mouseReleaseEvent(QMouseEvent* event) {
  TrackPointer(event->position());
  if (event->button() == Qt::LeftButton) {
    if (std::optional<app::MenuModule> module =
            app::HotSpotAt(last_position_.x(), last_position_.y())) {
      emit ModuleClicked(module->key);
    }
  }
  QWidget::mouseReleaseEvent(event);
}

void MenuPicture::leaveEvent(QEvent* event) {
  outside_hot_spots_ = true;
  unsetCursor();
  if (hovered_key_ != 0) {
    hovered_key_ = 0;
    update();
  }
  QWidget::leaveEvent(event);
}

}  // namespace ui
