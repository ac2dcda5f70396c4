#include "app/MenuPicture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

void MoveMouse(QWidget& widget, QPoint position) {
  QMouseEvent move(QEvent::MouseMove, position, widget.mapToGlobal(position), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

TEST(MenuPictureTest, HotSpotsScaleWithThePicture) {
  app::MenuPicture picture;
  picture.resize(app::kMenuPictureWidth, app::kMenuPictureHeight);
  EXPECT_EQ(picture.ModuleAt(QPointF(478, 250))->key, 8);
  EXPECT_FALSE(picture.ModuleAt(QPointF(96, 150)));

  picture.resize(2 * app::kMenuPictureWidth, 2 * app::kMenuPictureHeight);
  EXPECT_EQ(picture.ModuleAt(QPointF(956, 500))->key, 8);
  EXPECT_FALSE(picture.ModuleAt(QPointF(192, 300)));  // native x = 96, F1's border
  EXPECT_EQ(picture.ModuleAt(QPointF(194, 300))->key, 1);
  EXPECT_EQ(picture.ModuleAt(QPointF(478, 250))->key, 2);  // native 239,125 is F2

  QSignalSpy clicked(&picture, &app::MenuPicture::ModuleClicked);
  picture.show();
  QTest::mouseClick(&picture, Qt::LeftButton, {}, QPoint(956, 500));
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.at(0).at(0).toInt(), 8);
}

TEST(MenuPictureTest, HandCursorOnlyOverHotSpots) {
  app::MenuPicture picture;
  picture.resize(app::kMenuPictureWidth, app::kMenuPictureHeight);
  picture.show();

  MoveMouse(picture, QPoint(130, 150));
  EXPECT_EQ(picture.last_position(), QPoint(130, 150));
  EXPECT_FALSE(picture.outside_hot_spots());
  EXPECT_EQ(picture.cursor().shape(), Qt::PointingHandCursor);

  MoveMouse(picture, QPoint(20, 20));
  EXPECT_TRUE(picture.outside_hot_spots());
  EXPECT_EQ(picture.cursor().shape(), Qt::ArrowCursor);
}

TEST(MenuPictureTest, EveryHotSpotIsFoundAtItsCentreAtAnySize) {
  app::MenuPicture picture;
  for (QSize size : {QSize(600, 440), QSize(1200, 880), QSize(800, 500)}) {
    picture.resize(size);
    double sx = size.width() / double(app::kMenuPictureWidth);
    double sy = size.height() / double(app::kMenuPictureHeight);
    for (const app::MenuModule& module : app::kMenuModules) {
      QPointF centre((module.left + module.right) / 2.0 * sx,
                     (module.top + module.bottom) / 2.0 * sy);
      auto found = picture.ModuleAt(centre);
      ASSERT_TRUE(found) << module.key;
      EXPECT_EQ(found->key, module.key);
    }
  }
}

}  // namespace
