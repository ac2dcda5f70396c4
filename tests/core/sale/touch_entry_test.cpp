#include "core/sale/touch_entry.h"

#include <gtest/gtest.h>

#include <tuple>

#include "sale_fixture.h"

namespace {

using enum sale_testing::LineField;

using sale::PadMode;
using sale_testing::Texts;

class TouchEntryTest : public sale_testing::SaleFixture {
 protected:
  sale::ScanResult Tap(const std::string& barcode) {
    sale::ScanResult result = sale::AddGoodsByButton(sale_, barcode, ui_);
    sale::ComputeTotal(sale_, display_);
    return result;
  }
  bool Pad(PadMode mode, const std::string& typed) {
    return sale::ApplyPadNumber(sale_, mode, typed, ui_, display_);
  }
};

TEST_F(TouchEntryTest, ScaleGoodsAreWeighedOnlyOnTheSerialScaleAndPadNumbersRunTheAdjustments) {
  // A goods barcode that reads as a scale barcode is still the goods of the button.
  UseScaleBarcodes();
  AddGoods({"200012123457", "苹果", 10.0, 9.0, "公斤", "是"});
  AddGoods({"6903", "散装糖", 0});
  Tap("200012123457");  // serial scale off: one, nothing asked
  EXPECT_EQ(Columns(0, {kBarcode, kQuantity}), (Texts{"200012123457", "1.00"}));
  Open().Exec("update management set usecomscale = '是'");
  ui_.weights = {std::nullopt, std::string("0.455")};
  EXPECT_EQ(Tap("200012123457"), sale::ScanResult::kNotAdded);  // weighing cancelled
  Tap("200012123457");
  EXPECT_EQ(Columns(1, {kQuantity, kAmount}), (Texts{"0.455", "4.55"}));
  ui_.prices = {std::nullopt, 3.2};
  EXPECT_EQ(Tap("6903"), sale::ScanResult::kNotAdded);  // the price pad cancelled adds nothing
  EXPECT_EQ(sale_.lines.size(), 2u);
  Tap("6903");
  EXPECT_EQ(Columns(2, {kSalesPrice, kAmount}), (Texts{"3.20", "3.20"}));
  EXPECT_TRUE(ui_.messages.empty());
  NextCustomer();
  AddGoods({"6901", "牛奶", 10.0});
  AddGoods({"6902", "面包", 4.0});
  Tap("6901");
  Tap("6902");
  EXPECT_TRUE(Pad(PadMode::kQuantity, "3") && Pad(PadMode::kPrice, "3·5"));
  EXPECT_EQ(Columns(1, {kQuantity, kPrice, kAmount}), (Texts{"3.00", "3.50", "10.50"}));
  EXPECT_TRUE(Pad(PadMode::kItemDiscount, "0.85"));
  EXPECT_EQ(Columns(1, {kFrontRate, kRate}), (Texts{"0.85", "0.85"}));
  EXPECT_TRUE(Pad(PadMode::kBillDiscount, "0.9"));
  EXPECT_EQ(Columns(0, {kRate, kAmount}), (Texts{"0.90", "9.00"}));
  EXPECT_EQ(Total(), "19.80");  // 9.00 + 3 x 4.00 x 0.90 (price reset)
  // A refusal changes nothing and says why.
  EXPECT_FALSE(Pad(PadMode::kPrice, "-1"));
  EXPECT_EQ(ui_.messages, Texts{"价格有误"});
  EXPECT_EQ(Total(), "19.80");
}

TEST_F(TouchEntryTest, PadChecksBackspaceAndAGoodsButtonSellsItsOwnBarcode) {
  const std::tuple<PadMode, std::string, std::string> cases[] = {
      {PadMode::kItemDiscount, "1.5", "折扣率不能大于1"},
      {PadMode::kItemDiscount, "0.85", ""},
      {PadMode::kBillDiscount, "1.004", ""},  // 1.00 to the fen
      {PadMode::kBillDiscount, "-0.1", "折扣率不能为负数"},
      {PadMode::kQuantity, "-2", ""},
      {PadMode::kQuantity, "1·5", ""},
      {PadMode::kPrice, "", "录入有误!"},
      {PadMode::kPrice, "1.2345", "录入有误!"},
      {PadMode::kPettyCash, "1-", "录入有误!"},
  };
  for (const auto& [mode, typed, refusal] : cases) {
    EXPECT_EQ(sale::CheckPadNumber(mode, typed), refusal) << typed;
  }
  for (auto [typed, left] : {std::pair{"12·", "12"}, {"1·5", "1·"}, {"7", ""}, {"", ""}}) {
    EXPECT_EQ(sale::RemoveLastCharacter(typed), left) << typed;
  }
  AddGoods({"6901", "鸡蛋", 5.0});
  AddGoods({"6902", "鸡蛋", 7.5});
  EXPECT_EQ(Tap("6902"), sale::ScanResult::kAdded);
  EXPECT_EQ(Columns(0, {kBarcode, kQuantity, kAmount}), (Texts{"6902", "1.00", "7.50"}));
  // Goods removed since the button was filled are not sold, and no new goods are offered.
  EXPECT_EQ(Tap("6999"), sale::ScanResult::kNotAdded);
  EXPECT_EQ(ui_.messages, Texts{"此商品无法销售"});
  EXPECT_TRUE(ui_.questions.empty());
  EXPECT_EQ(Total(), "7.50");
  // Petty cash waits until the open sale is settled, as on the keyboard screen.
  EXPECT_FALSE(Pad(PadMode::kPettyCash, "50"));
  EXPECT_EQ(ui_.messages.back(), "有未结账的流水,不能录入备用金");
  EXPECT_EQ(Count("select count(*) from transactiondetails"), 0);
  EXPECT_EQ(sale_.lines.size(), 1u);
}

}  // namespace
