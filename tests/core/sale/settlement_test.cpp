#include "core/sale/settlement.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "sale_fixture.h"

namespace {

TEST(OrdinaryPaymentTest, RoundOffChangeAndConfirmationChecksInOrder) {
  EXPECT_DOUBLE_EQ(sale::OrdinaryChange(23.50, {0, 23.50, 0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(sale::OrdinaryChange(23.50, {0, 20.00, 0, 0}), 0.0);
  // Cheque and card already cover the due: all the cash goes back.
  EXPECT_DOUBLE_EQ(sale::OrdinaryChange(23.50, {0, 10.00, 20.00, 3.50}), 10.00);
  EXPECT_DOUBLE_EQ(sale::OrdinaryChange(23.50, {3.50, 25.00, 0, 0}), 5.00);
  EXPECT_DOUBLE_EQ(sale::CashAfterAllowance(23.50, 3.50), 20.00);
  EXPECT_EQ(sale::CheckAllowanceEntry(23.50, 23.51), "折让金额不能超过应付金额");
  EXPECT_EQ(sale::CheckAllowanceEntry(23.50, 23.50), "");
  sale_testing::ScriptedSaleUi ui;
  auto ok = sale::ConfirmOrdinaryPayment(23.50, {0, 100.00, 0, 0}, ui);
  ASSERT_TRUE(ok.accepted);
  EXPECT_EQ(std::make_pair(ok.payment->cash, ok.payment->change), std::make_pair(100.0, 76.5));
  // Fen sums: 0.70 + 0.10 pays 0.80 exactly.
  EXPECT_TRUE(sale::ConfirmOrdinaryPayment(0.80, {0, 0.10, 0, 0.70}, ui).accepted);
  EXPECT_FALSE(sale::ConfirmOrdinaryPayment(23.50, {0, 23.49, 0, 0}, ui).accepted);
  // Even one fen of allowance above the due is refused.
  EXPECT_FALSE(sale::ConfirmOrdinaryPayment(23.50, {23.51, 0, 0, 0}, ui).accepted);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{"金额有误!", "整单折让金额不能超过应收金额"}));
  ui.messages.clear();
  ui.yes_no = {false};
  auto large = sale::ConfirmOrdinaryPayment(20000, {15000, 5000, 0, 0}, ui);
  EXPECT_FALSE(large.accepted);
  EXPECT_EQ(large.retry, sale::RetryField::kAllowance);
  ui.yes_no = {true};
  EXPECT_TRUE(sale::ConfirmOrdinaryPayment(20000, {15000, 5000, 0, 0}, ui).accepted);
  EXPECT_EQ(ui.questions.size(), 2U);
  EXPECT_TRUE(ui.messages.empty());
  // total, wipe setting -> due, wipe (4.30 is 4.2999... in binary: the tenth must stay)
  using settings::Wipe;
  const std::tuple<double, Wipe, double, double> wipes[] = {
      {9.99, Wipe::kToYuan, 9.00, 0.99},   {23.57, Wipe::kToJiao, 23.50, 0.07},
      {23.57, Wipe::kToYuan, 23.00, 0.57}, {23.57, Wipe::kNone, 23.57, 0.0},
      {4.30, Wipe::kToJiao, 4.30, 0.0},    {-23.57, Wipe::kToJiao, -23.50, -0.07}};
  for (auto [total, setting, due, wipe] : wipes) {
    EXPECT_DOUBLE_EQ(sale::ComputeWipe(total, setting).due, due) << total;
    EXPECT_DOUBLE_EQ(sale::ComputeWipe(total, setting).wipe, wipe) << total;
  }
}

TEST(PaymentConfirmationTest, AnAllowanceOfTheWholeDueAndAGiftWithNothingDueAreAccepted) {
  sale_testing::ScriptedSaleUi ui;
  auto whole = sale::ConfirmOrdinaryPayment(23.50, {23.50, 0, 0, 0}, ui);
  ASSERT_TRUE(whole.accepted);
  EXPECT_EQ(std::make_pair(whole.payment->allowance, whole.payment->change),
            std::make_pair(23.5, 0.0));
  EXPECT_TRUE(sale::ConfirmOrdinaryPayment(0, sale::PaymentFields{}, ui).accepted);
  EXPECT_TRUE(sale::ConfirmMemberPayment(50.00, 0, {50.00, 0, 0, 0}, ui).accepted);
  EXPECT_TRUE(sale::ConfirmMemberPayment(0, 0, sale::PaymentFields{}, ui).accepted);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(MemberPaymentTest, MemberPaymentsRefundsAndTendersBeyondWhatATillHolds) {
  // due, balance -> stored, remaining
  for (auto [due, balance, stored, remaining] : {std::array{50.00, 30.00, 30.00, 20.00},
                                                 {20.00, 30.00, 20.00, 0.0},
                                                 {20.00, -5.00, 0.0, 20.00},
                                                 {-8.00, 30.00, 0.0, -8.00}}) {
    EXPECT_DOUBLE_EQ(sale::MemberSplit(due, balance).stored, stored) << due << " " << balance;
    EXPECT_DOUBLE_EQ(sale::MemberSplit(due, balance).remaining, remaining) << due << " " << balance;
  }
  EXPECT_DOUBLE_EQ(sale::MemberAllowance(3.456), 3.46);
  // cash, cheque, card -> change on a due of 20.00
  for (auto [cash, cheque, card, change] : {std::array{50.00, 0.0, 0.0, 30.00},
                                            {5.00, 10.00, 0.0, 0.0},
                                            {5.00, 10.00, 12.00, 5.00},
                                            {5.00, 25.00, 0.0, 5.00}}) {
    EXPECT_DOUBLE_EQ(sale::MemberChange(20.00, {0, cash, cheque, card}), change) << cash;
  }
  sale_testing::ScriptedSaleUi ui;
  auto ok = sale::ConfirmMemberPayment(50.00, 30.00, {0, 20.00, 0, 0}, ui);
  ASSERT_TRUE(ok.accepted);
  EXPECT_EQ(std::make_pair(ok.payment->stored, ok.payment->change), std::make_pair(30.0, 0.0));
  EXPECT_FALSE(sale::ConfirmMemberPayment(50.00, 30.00, {0, 19.99, 0, 0}, ui).accepted);
  EXPECT_FALSE(sale::ConfirmMemberPayment(-8.00, 0, {0, -7.00, 0, 0}, ui).accepted);
  EXPECT_FALSE(sale::ConfirmMemberPayment(50.00, 0, {50.01, 0, 0, 0}, ui).accepted);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{"金额有误!", "金额有误!!", "整单折让金额不能大于总计金额"}));
  ui.messages.clear();
  auto refund = sale::ConfirmOrdinaryPayment(-12.00, {0, -12.00, 0, 0}, ui);
  ASSERT_TRUE(refund.accepted);
  EXPECT_DOUBLE_EQ(refund.payment->change, 0.0);
  EXPECT_DOUBLE_EQ(sale::MemberChange(-12.00, {0, -12.00, 0, 0}), 0.0);
  EXPECT_TRUE(sale::ConfirmOrdinaryPayment(-12.00, {0, -7.00, 0, -5.00}, ui).accepted);
  EXPECT_TRUE(sale::ConfirmMemberPayment(-12.00, 0, {0, -12.00, 0, 0}, ui).accepted);
  // Paying out more than the bill, or an allowance on it (due -10 with 5 must not pay out 15).
  EXPECT_FALSE(sale::ConfirmOrdinaryPayment(-12.00, {0, -15.00, 0, 0}, ui).accepted);
  EXPECT_FALSE(sale::ConfirmMemberPayment(-12.00, 0, {0, -13.00, 0, 0}, ui).accepted);
  EXPECT_EQ(sale::ConfirmOrdinaryPayment(-10.00, {5, -15.00, 0, 0}, ui).retry,
            sale::RetryField::kAllowance);
  EXPECT_FALSE(sale::ConfirmMemberPayment(-10.00, 0, {5, -15.00, 0, 0}, ui).accepted);
  EXPECT_EQ(ui.messages, (sale_testing::Texts{"金额有误!", "金额有误!!", "退款不能整单折让",
                                              "退款不能整单折让"}));
  EXPECT_EQ(sale::CheckAllowanceEntry(-10.00, -5.00), "退款不能整单折让");
  EXPECT_EQ(sale::CheckMemberAllowance(50.00, 50.01), "整单折让金额不能大于总计金额");
  const std::string nines(400, '9');
  EXPECT_DOUBLE_EQ(sale::AmountWhileTyping(nines), 0.0);  // while typing: nothing yet
  EXPECT_DOUBLE_EQ(sale::AmountWhileTyping(" 12.345"), 12.35);
  using sale::RetryField;
  const std::pair<sale::PaymentTexts, RetryField> refused[] = {
      {{nines, "10", "0", "0"}, RetryField::kAllowance},
      {{"0", "10000000000", "", ""}, RetryField::kCash},
      {{"0", "10", "abc", "0"}, RetryField::kCheque},
      {{"0", "10", "", "-" + nines}, RetryField::kCard}};
  ui.messages.clear();
  for (const auto& [texts, retry] : refused) {
    EXPECT_EQ(sale::ConfirmOrdinaryPayment(10, texts, ui).retry, retry);
  }
  EXPECT_EQ(ui.messages, (sale_testing::Texts{"整单折让金额有误", "现金金额有误", "支票金额有误",
                                              "银联卡金额有误"}));
  EXPECT_FALSE(sale::ConfirmMemberPayment(10, 0, refused[1].first, ui).accepted);
  // An emptied field is nothing paid by it.
  EXPECT_TRUE(sale::ConfirmOrdinaryPayment(10, sale::PaymentTexts{"", "4", "", "6"}, ui).accepted);
}

}  // namespace
