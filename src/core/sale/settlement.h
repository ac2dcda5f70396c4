#pragma once

// Settling a sale: the round-off, the payment the cashier takes, and the arithmetic and checks
// of the two payment dialogs ("结算" for the ordinary customer, "会员结算" for a member).
// Money is compared in whole fen, so sums such as 0.70 + 0.10 compare equal to 0.80.
//
// A negative due is a refund: the tenders are what is paid out, so together they must make
// exactly the due, nothing is given as change and no allowance is taken (it would pay out
// more than the goods brought back). The drawer then loses exactly the refund.

#include <cstdint>
#include <optional>
#include <string>

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"
#include "core/settings/settings.h"

namespace sale {

// What the payment dialog hands to the commit (yuan, two decimals).
struct Payment {
  double due = 0;     // the total after round-off, before the allowance
  double cash = 0;    // "现金" tendered
  double change = 0;  // "找零" returned
  double stored = 0;  // "储值支付" from the member's stored value; 0 for an ordinary customer
  double wipe = 0;    // the round-off taken off the total
  double allowance = 0;  // "整单折让"
  double cheque = 0;     // "支票"
  double card = 0;       // "银联卡"
};

struct WipeResult {
  double due = 0;
  double wipe = 0;
};

// The round-off of the settings: down to whole tenths or whole yuan, toward zero, so a negative
// total (a return) is rounded toward zero as well.
WipeResult ComputeWipe(double total, settings::Wipe wipe);
// The same with the setting read from kasso.db (no round-off when it cannot be read).
WipeResult ComputeWipe(double total);

// Whole fen of an amount, halves away from zero.
std::int64_t Fen(double yuan);

// ---- The ordinary payment dialog ("结算") ----

// What the dialog's fields hold, already read as numbers (two decimals).
struct PaymentFields {
  double allowance = 0;
  double cash = 0;
  double cheque = 0;
  double card = 0;
};

// What the dialog's amount fields hold, as typed.
struct PaymentTexts {
  std::string allowance;
  std::string cash;
  std::string cheque;
  std::string card;
};

// An amount field read while the cashier types, to the fen: text that is not (yet) a number a
// till can hold ("", "-", 400 nines) counts as 0 until it is corrected.
double AmountWhileTyping(const std::string& text);
PaymentFields FieldsWhileTyping(const PaymentTexts& texts);

// The cash field after the allowance changed: due less the allowance.
double CashAfterAllowance(double due, double allowance);
// The change: with cheque, card and allowance short of the due, cash beyond the rest is
// returned; when they already cover it, the whole cash is returned. A refund gives no change.
double OrdinaryChange(double due, const PaymentFields& fields);
// "退款不能整单折让" for an allowance on a refund, else empty.
std::string CheckRefundAllowance(double due, double allowance);
// Enter in the allowance field: the message for an allowance on a refund or above the due,
// else empty.
std::string CheckAllowanceEntry(double due, double allowance);

// Where the dialog puts the focus after a refused confirmation.
enum class RetryField { kNone, kAllowance, kCash, kCheque, kCard };

struct SettleCheck {
  bool accepted = false;
  RetryField retry = RetryField::kNone;
  std::optional<Payment> payment;  // set when accepted
};

// "确认" (or Enter in a tender field): asks about an allowance above 10000, refuses an
// allowance above the due and a payment short of the due (a refund: an allowance, or tenders
// other than the due), and otherwise builds the payment.
SettleCheck ConfirmOrdinaryPayment(double due, const PaymentFields& fields, SaleUi& ui);
// The same from the typed texts. An emptied field pays nothing; a field that is not a number a
// till can hold is refused first with its own message ("整单折让金额有误", "现金金额有误",
// "支票金额有误", "银联卡金额有误") and named in retry.
SettleCheck ConfirmOrdinaryPayment(double due, const PaymentTexts& texts, SaleUi& ui);

// ---- The member payment dialog ("会员结算") ----

struct MemberAmounts {
  double stored = 0;     // "储值支付"
  double remaining = 0;  // "应收 ": what is left for cash, cheque and card
};

// How much the member's stored value pays: the smaller of what is owed and the balance, and
// never below zero (a negative balance pays nothing; a return is refunded in cash, not into
// stored value).
MemberAmounts MemberSplit(double owed, double deposit);
// The allowance typed in the member dialog, read to the fen.
double MemberAllowance(double typed);
// The change against the remaining amount; none on a refund.
double MemberChange(double remaining, const PaymentFields& fields);
// The allowance as typed in the member dialog: the message for one on a refund
// ("退款不能整单折让") or above the due ("整单折让金额不能大于总计金额"), else empty.
std::string CheckMemberAllowance(double due, double allowance);
// "确认": refuses what CheckMemberAllowance refuses and a payment short of the due (a refund:
// tenders other than the due).
SettleCheck ConfirmMemberPayment(double due, double stored, const PaymentFields& fields,
                                 SaleUi& ui);
// The same from the typed texts, read as for the ordinary dialog.
SettleCheck ConfirmMemberPayment(double due, double stored, const PaymentTexts& texts, SaleUi& ui);

// ---- Settling the sale ----

// The payment dialogs as the screen shows them; nullopt when the cashier cancels.
class PaymentUi {
 public:
  virtual ~PaymentUi() = default;
  virtual std::optional<Payment> SettleOrdinary(double due) = 0;
  virtual std::optional<Payment> SettleMember(double due, const std::string& memberid) = 0;
};

enum class SettleOutcome { kNothingToSettle, kCancelled, kCommitted, kCommitFailed };

struct SettleResult {
  SettleOutcome outcome = SettleOutcome::kCancelled;
  std::int64_t transaction_number = 0;  // set when committed
  Payment payment;                      // set when committed
  // A stored-value member's balance after the sale, when it could be read.
  std::optional<double> deposit_balance;
};

// What the cashier screen keeps showing after a committed sale until the next one starts:
// "实收: 100.00   找零: 62.00" ("退款: 10.00" for a refund), and for a stored-value member
// "   储值余额: 70.00". Empty for a sale that was not committed.
std::string SettledText(const SettleResult& result);

// Enter on an empty entry field: totals, rounds off, takes the payment, shows the change on
// lamp 4 and commits; a stored-value member's new balance is read back for the screen. A
// cancelled dialog or a failed commit leaves the sale as it was.
SettleResult SettleSale(CurrentSale& sale, SaleUi& ui, PaymentUi& payment_ui,
                        CustomerDisplay& display);

}  // namespace sale
