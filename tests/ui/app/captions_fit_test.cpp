#include <QAbstractButton>
#include <QFontMetricsF>

#include "ui/app/LoginDialog.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/app/MenuPicture.h"
#include "ui/app/OperatorListDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// Shows the window (at the size given, if any) and checks that every visible button and
// one-line label is at least as wide as its caption needs.
void ExpectCaptionsFit(QWidget& window, QSize size = QSize()) {
  window.setWindowState(Qt::WindowNoState);
  if (size.isValid()) window.resize(size);
  window.show();
  QTest::qWait(0);
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (button->isVisible() && !button->text().isEmpty()) {
      EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    }
  }
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (label->isVisible() && !label->text().isEmpty() && !label->wordWrap()) {
      EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
  }
}

using CaptionsFitTest = TestDatabase;

// At the default font and at the larger one a 1920 x 1080 panel is often set up with; the
// maximised windows at both screen sizes.
TEST_F(CaptionsFitTest, StartScreensGiveEveryCaptionItsRoomAtBothResolutions) {
  const QFont default_font = QApplication::font();
  for (int points : {default_font.pointSize(), 14}) {
    SCOPED_TRACE(points);
    QFont font = default_font;
    font.setPointSize(points);
    QApplication::setFont(font);
    ui::LoginDialog login;
    ExpectCaptionsFit(login);
    for (QSize screen : {QSize(1024, 768), QSize(1920, 1080)}) {
      ui::OperatorListDialog accounts(nullptr, "0");
      ExpectCaptionsFit(accounts, screen);
      ui::MainMenuWindow menu("0");
      ExpectCaptionsFit(menu, screen);
    }
    // The menu's captions are drawn in its picture, which scales as a whole.
    for (const app::MenuModule& module : app::kMenuModules) {
      EXPECT_LE(QFontMetricsF(ui::MenuPicture::CaptionFont(font))
                    .horizontalAdvance(QString::fromUtf8(module.caption)),
                ui::MenuPicture::CaptionArea(module).width())
          << module.caption;
    }
  }
  QApplication::setFont(default_font);
}

}  // namespace
