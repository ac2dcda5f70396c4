#include "ui/app/MenuPicture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// Which spot is where at the picture's own size is proven in core; here the spots follow
// the picture when the window is resized, also unevenly.
TEST(MenuPictureTest, HotSpotsScaleWithThePictureShowAHandAndClicksNameTheirModule) {
  ui::MenuPicture picture;
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
  picture.resize(2 * app::kMenuPictureWidth, 2 * app::kMenuPictureHeight);
  EXPECT_FALSE(picture.ModuleAt(QPointF(192, 300)));  // native x = 96, F1's border
  EXPECT_EQ(picture.ModuleAt(QPointF(194, 300))->key, 1);

  QSignalSpy clicked(&picture, &ui::MenuPicture::ModuleClicked);
  picture.show();
  QTest::mouseClick(&picture, Qt::LeftButton, {}, QPoint(956, 500));
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked.at(0).at(0).toInt(), 8);

  picture.resize(app::kMenuPictureWidth, app::kMenuPictureHeight);
  auto move_to = [&](QPoint position) {
    QMouseEvent move(QEvent::MouseMove, position, picture.mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&picture, &move);
    return picture.cursor().shape();
  };
  EXPECT_EQ(move_to(QPoint(130, 150)), Qt::PointingHandCursor);
  EXPECT_EQ(move_to(QPoint(20, 20)), Qt::ArrowCursor);
}

}  // namespace
