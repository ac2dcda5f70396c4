#include "core/sale/settlement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/common/format.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_lines.h"

namespace sale {
namespace {

constexpr double kLargeAllowance = 10000;
constexpr const char* kRefundAllowance = "退款不能整单折让";

double Yuan(std::int64_t fen) { return static_cast<double>(fen) / 100.0; }

std::int64_t TenderFen(const PaymentFields& fields) {
  return Fen(fields.card) + Fen(fields.cheque) + Fen(fields.allowance);
}

// The typed fields at "确认", or nullopt after the refusal of the first field that is not an
// amount a till can hold.
std::optional<PaymentFields> ConfirmedFields(const PaymentTexts& texts, SaleUi& ui,
                                             SettleCheck& check) {
  const struct {
    const std::string& text;
    double PaymentFields::*field;
    const char* refusal;
    RetryField retry;
  } fields[] = {
      {texts.allowance, &PaymentFields::allowance, "整单折让金额有误", RetryField::kAllowance},
      {texts.cash, &PaymentFields::cash, "现金金额有误", RetryField::kCash},
      {texts.cheque, &PaymentFields::cheque, "支票金额有误", RetryField::kCheque},
      {texts.card, &PaymentFields::card, "银联卡金额有误", RetryField::kCard},
  };
  PaymentFields read;
  for (const auto& f : fields) {
    if (kasso::Trim(f.text).empty()) continue;
    std::optional<double> value = lookups::ReadTypedNumber(f.text, lookups::TillNumber::kAmount);
    if (!value) {
      ui.Message(f.refusal);
      check.retry = f.retry;
      return std::nullopt;
    }
    read.*f.field = lookups::RoundTo(*value, 2);
  }
  return read;
}

}  // namespace

std::int64_t Fen(double yuan) { return std::llround(lookups::RoundTo(yuan, 2) * 100.0); }

double AmountWhileTyping(const std::string& text) {
  std::optional<double> value = lookups::ReadTypedNumber(text, lookups::TillNumber::kAmount);
  return value ? lookups::RoundTo(*value, 2) : 0.0;
}

PaymentFields FieldsWhileTyping(const PaymentTexts& texts) {
  return {AmountWhileTyping(texts.allowance), AmountWhileTyping(texts.cash),
          AmountWhileTyping(texts.cheque), AmountWhileTyping(texts.card)};
}

WipeResult ComputeWipe(double total, settings::Wipe wipe) {
  // In whole fen, so that a total such as 4.30 (binary 4.2999...) keeps its last tenth.
  const std::int64_t fen = Fen(total);
  std::int64_t due = fen;
  if (wipe == settings::Wipe::kToJiao) due = fen / 10 * 10;
  if (wipe == settings::Wipe::kToYuan) due = fen / 100 * 100;
  return {Yuan(due), Yuan(fen - due)};
}

WipeResult ComputeWipe(double total) {
  settings::Wipe setting = settings::Wipe::kNone;
  try {
    store::Database db;
    setting = settings::LoadSettings(db).WipeOrNone();
  } catch (const store::DbError&) {
    // Without the settings nothing is wiped off: the customer pays the exact total.
  }
  return ComputeWipe(total, setting);
}

double CashAfterAllowance(double due, double allowance) { return Yuan(Fen(due) - Fen(allowance)); }

double OrdinaryChange(double due, const PaymentFields& fields) {
  const std::int64_t others = TenderFen(fields);
  const std::int64_t cash = Fen(fields.cash);
  const std::int64_t owed = Fen(due);
  if (owed < 0) return 0.0;
  if (others >= owed) return Yuan(cash);
  return others + cash <= owed ? 0.0 : Yuan(others + cash - owed);
}

std::string CheckRefundAllowance(double due, double allowance) {
  return Fen(due) < 0 && Fen(allowance) != 0 ? kRefundAllowance : "";
}

std::string CheckAllowanceEntry(double due, double allowance) {
  if (std::string refused = CheckRefundAllowance(due, allowance); !refused.empty()) return refused;
  return Fen(due) >= 0 && Fen(allowance) > Fen(due) ? "折让金额不能超过应付金额" : "";
}

SettleCheck ConfirmOrdinaryPayment(double due, const PaymentFields& fields, SaleUi& ui) {
  SettleCheck check;
  if (std::string refused = CheckRefundAllowance(due, fields.allowance); !refused.empty()) {
    ui.Message(refused);
    check.retry = RetryField::kAllowance;
    return check;
  }
  if (fields.allowance > kLargeAllowance && !ui.AskYesNo("整单折让过大,真的要折让吗?")) {
    check.retry = RetryField::kAllowance;
    return check;
  }
  // Compared to the fen: an allowance even a fen above the due would charge less than nothing.
  if (std::llabs(Fen(fields.allowance)) > std::llabs(Fen(due))) {
    ui.Message("整单折让金额不能超过应收金额");
    return check;
  }
  const std::int64_t owed = Fen(due);
  const std::int64_t paid = TenderFen(fields) + Fen(fields.cash);
  const bool short_paid = owed >= 0 ? paid < owed : paid != owed;
  if (short_paid) {
    ui.Message("金额有误!");
    return check;
  }
  check.accepted = true;
  Payment payment;
  payment.due = Yuan(owed);
  payment.cash = Yuan(Fen(fields.cash));
  payment.change = OrdinaryChange(due, fields);
  payment.allowance = Yuan(Fen(fields.allowance));
  payment.cheque = Yuan(Fen(fields.cheque));
  payment.card = Yuan(Fen(fields.card));
  check.payment = payment;
  return check;
}

SettleCheck ConfirmOrdinaryPayment(double due, const PaymentTexts& texts, SaleUi& ui) {
  SettleCheck check;
  std::optional<PaymentFields> fields = ConfirmedFields(texts, ui, check);
  return fields ? ConfirmOrdinaryPayment(due, *fields, ui) : check;
}

MemberAmounts MemberSplit(double owed, double deposit) {
  const std::int64_t owed_fen = Fen(owed);
  const std::int64_t stored = std::max<std::int64_t>(0, std::min(owed_fen, Fen(deposit)));
  return {Yuan(stored), Yuan(owed_fen - stored)};
}

double MemberAllowance(double typed) { return lookups::RoundWhole(typed * 100) * 0.01; }

double MemberChange(double remaining, const PaymentFields& fields) {
  const std::int64_t rest = Fen(remaining);
  const std::int64_t others = Fen(fields.cheque) + Fen(fields.card);
  const std::int64_t cash = Fen(fields.cash);
  if (rest < 0) return 0.0;
  if (others > rest) return Yuan(cash);
  return others + cash <= rest ? 0.0 : Yuan(others + cash - rest);
}

std::string CheckMemberAllowance(double due, double allowance) {
  if (std::string refused = CheckRefundAllowance(due, allowance); !refused.empty()) return refused;
  return Fen(due) >= 0 && Fen(allowance) > Fen(due) ? "整单折让金额不能大于总计金额" : "";
}

SettleCheck ConfirmMemberPayment(double due, double stored, const PaymentFields& fields,
                                 SaleUi& ui) {
  SettleCheck check;
  const std::int64_t owed = Fen(due);
  // The dialog warns while the allowance is typed; a confirmation must not slip past it.
  if (std::string refused = CheckMemberAllowance(due, fields.allowance); !refused.empty()) {
    ui.Message(refused);
    check.retry = RetryField::kAllowance;
    return check;
  }
  const std::int64_t paid = Fen(fields.allowance) + Fen(fields.cheque) + Fen(stored) +
                            Fen(fields.card) + Fen(fields.cash);
  if (owed >= 0 && paid < owed) {
    ui.Message("金额有误!");
    return check;
  }
  if (owed < 0 && paid != owed) {
    ui.Message("金额有误!!");
    return check;
  }
  const std::int64_t rest = owed - Fen(fields.allowance) - Fen(stored);
  check.accepted = true;
  Payment payment;
  payment.due = Yuan(owed);
  payment.cash = Yuan(Fen(fields.cash));
  payment.change = MemberChange(Yuan(rest), fields);
  payment.stored = Yuan(Fen(stored));
  payment.allowance = Yuan(Fen(fields.allowance));
  payment.cheque = Yuan(Fen(fields.cheque));
  payment.card = Yuan(Fen(fields.card));
  check.payment = payment;
  return check;
}

SettleCheck ConfirmMemberPayment(double due, double stored, const PaymentTexts& texts, SaleUi& ui) {
  SettleCheck check;
  std::optional<PaymentFields> fields = ConfirmedFields(texts, ui, check);
  if (!fields) return check;
  fields->allowance = MemberAllowance(fields->allowance);
  return ConfirmMemberPayment(due, stored, *fields, ui);
}

SettleResult SettleSale(CurrentSale& sale, SaleUi& ui, PaymentUi& payment_ui,
                        CustomerDisplay& display) {
  SettleResult result;
  if (sale.lines.empty()) {
    ui.Message("无法结算");
    result.outcome = SettleOutcome::kNothingToSettle;
    return result;
  }
  const double total = ComputeTotal(sale, display);
  const WipeResult wipe = ComputeWipe(total);
  std::optional<Payment> payment = sale.HasMember()
                                       ? payment_ui.SettleMember(wipe.due, sale.member_id)
                                       : payment_ui.SettleOrdinary(wipe.due);
  if (!payment) return result;
  payment->due = wipe.due;
  payment->wipe = wipe.wipe;
  display.Show(CustomerDisplay::kChangeLamp, payment->change);

  const bool had_member = sale.HasMember();
  const std::string deposit_member = sale.deposit_member ? sale.member_id : std::string();
  CommitResult commit = CommitSale(sale, *payment, ui);
  if (!commit.committed) {
    result.outcome = SettleOutcome::kCommitFailed;
    return result;
  }
  if (had_member) sale.member_pane = std::string(kOrdinaryCustomer);
  result.outcome = SettleOutcome::kCommitted;
  result.transaction_number = commit.transaction_number;
  result.payment = *payment;
  if (!deposit_member.empty()) {
    try {
      store::Database db;
      result.deposit_balance = lookups::MemberBalance(db, deposit_member);
    } catch (const store::DbError&) {
      // The sale stands; the screen just does not show the balance.
    }
  }
  return result;
}

std::string SettledText(const SettleResult& result) {
  if (result.outcome != SettleOutcome::kCommitted) return {};
  const Payment& paid = result.payment;
  const std::int64_t received =
      Fen(paid.cash) + Fen(paid.cheque) + Fen(paid.card) + Fen(paid.stored);
  std::string text = Fen(paid.due) < 0 ? "退款: " + kasso::Money(-Yuan(received))
                                       : "实收: " + kasso::Money(Yuan(received)) +
                                             "   找零: " + kasso::Money(paid.change);
  if (result.deposit_balance) text += "   储值余额: " + kasso::Money(*result.deposit_balance);
  return text;
}

}  // namespace sale
