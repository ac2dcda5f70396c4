#include <QAbstractButton>
#include <QFontMetricsF>

#include "ui/app/AboutDialog.h"
#include "ui/app/AuthorizationDialog.h"
#include "ui/app/DataClearDialog.h"
#include "ui/app/DutyRightsDialog.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/app/MenuPicture.h"
#include "ui/app/OperatorEditDialog.h"
#include "ui/app/OperatorListDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// Shows the window at the size given (its own when empty) and checks that every visible
// button and one-line label is at least as wide as its caption needs.
void ExpectCaptionsFit(QWidget& window, QSize size = QSize()) {
  window.setWindowState(Qt::WindowNoState);
  if (size.isValid()) window.resize(size);
  window.show();
  QTest::qWait(0);
  const std::string name = window.metaObject()->className();
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || button->text().isEmpty()) continue;
    EXPECT_GE(button->width(), button->sizeHint().width())
        << name << " " << button->text().toStdString();
  }
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty() || label->wordWrap()) continue;
    EXPECT_GE(label->width(), label->sizeHint().width())
        << name << " " << label->text().toStdString();
  }
  window.hide();
}

class CaptionsFitTest : public TestDatabase {
 protected:
  void TearDown() override {
    QApplication::setFont(default_font_);
    TestDatabase::TearDown();
  }
  const QFont default_font_ = QApplication::font();
};

// At the default font and at the large one a 1920 x 1080 panel is often set up with; windows
// that open maximised are tried at both screen sizes.
TEST_F(CaptionsFitTest, StartScreensGiveEveryCaptionItsRoomAtBothResolutions) {
  for (int points : {default_font_.pointSize(), 14}) {
    QFont font = default_font_;
    font.setPointSize(points);
    QApplication::setFont(font);
    SCOPED_TRACE(points);
    ui::LoginDialog login;
    ExpectCaptionsFit(login);
    ui::AuthorizationDialog authorization;
    ExpectCaptionsFit(authorization);
    ui::AboutDialog about;
    ExpectCaptionsFit(about);
    ui::OperatorEditDialog editor(nullptr);
    ExpectCaptionsFit(editor);
    ui::DataClearDialog clear;
    ExpectCaptionsFit(clear);
    ui::DutyRightsDialog rights(nullptr, "0");
    ExpectCaptionsFit(rights);
    for (QSize screen : {QSize(1024, 768), QSize(1920, 1080)}) {
      ui::OperatorListDialog accounts(nullptr, "0");
      ExpectCaptionsFit(accounts, screen);
      ui::MainMenuWindow menu("0");
      ExpectCaptionsFit(menu, screen);
    }
    // The menu's captions are drawn in its picture, which scales as a whole: each fits its
    // tile at the picture's own size.
    for (const app::MenuModule& module : app::kMenuModules) {
      QFontMetricsF metrics(ui::MenuPicture::CaptionFont(font));
      EXPECT_LE(metrics.horizontalAdvance(QString::fromUtf8(module.caption)),
                ui::MenuPicture::CaptionArea(module).width())
          << module.caption;
    }
  }
}

}  // namespace
