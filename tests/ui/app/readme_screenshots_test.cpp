#include <QDir>
#include <QPixmap>
#include <QTableView>

#include "demo_shop.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/sale/SalesFrontDialog.h"
#include "ui/ui_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

// Draws the README's pictures of a demo shop. Asked by TILLWISE_SCREENSHOT_SHOP (a folder
// made by "tillwise-admin demo") and TILLWISE_SCREENSHOT_DIR (where the PNG files go), it works
// on a copy of that shop; otherwise it fills a fresh demo shop and draws into a scratch folder,
// so every test run proves the pictures can still be made.
class ReadmeScreenshots : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    shop_ = qEnvironmentVariable("TILLWISE_SCREENSHOT_SHOP");
    out_ = qEnvironmentVariable("TILLWISE_SCREENSHOT_DIR");
    if (shop_.isEmpty() || out_.isEmpty()) {
      store::Database db = Open();
      demo::FillDemoShop(db);
      out_ = QString::fromStdString((dir() / "pictures").string());
    } else {
      fs::copy_file(fs::path(shop_.toStdString()) / "kasso.db", store::DatabasePath(),
                    fs::copy_options::overwrite_existing);
    }
    QDir().mkpath(out_);
  }
  void Save(QWidget& window, const char* name) {
    QTest::qWait(50);
    EXPECT_TRUE(window.grab().save(QDir(out_).filePath(name), "PNG", 9)) << name;
  }

  QString shop_;
  QString out_;
  ui::MessageBoxSeam messages_;
};

TEST_F(ReadmeScreenshots, CashierScreenWithThreeLinesAndTheMainMenu) {
  ui::SalesFrontDialog front(nullptr, "1");
  front.setWindowState(Qt::WindowNoState);
  front.resize(1024, 768);
  front.show();
  auto* entry = Find<QLineEdit>(front, "entryEdit");
  store::Statement goods = Open().Query(
      "select barcode from goodsmaster where isscalegoods = '否' and iscombined = '否' "
      "order by rowid limit 3");
  while (goods.Step()) {
    QTest::keyClicks(entry, QString::fromStdString(goods.Text(0)));
    QTest::keyClick(entry, Qt::Key_Return);
  }
  EXPECT_EQ(Find<QTableView>(front, "lineTable")->model()->rowCount(), 3);
  Save(front, "cashier.png");

  ui::MainMenuWindow menu("1");
  menu.resize(app::kMenuPictureWidth, app::kMenuPictureHeight);
  menu.show();
  Save(menu, "menu.png");
  for (const char* name : {"cashier.png", "menu.png"}) {
    EXPECT_FALSE(QPixmap(QDir(out_).filePath(name)).isNull()) << name;
  }
}

}  // namespace
