#pragma once

// Writing a settled sale: the journal rows, the stock, the member's points and stored value,
// all in one transaction on one connection; then the drawer, the receipts and the next sale.

#include <cstdint>

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"
#include "core/sale/settlement.h"
#include "core/store/database.h"

namespace sale {

struct CommitResult {
  bool committed = false;
  std::int64_t transaction_number = 0;
};

// Writes the sale inside the caller's open transaction and returns its transaction number:
// one "销售" row per line, in list order, and one "销售总计" row, all under the next number;
// lowers stock (through the components of combined goods) and credits points and debits
// stored value for a member. Throws store::DbError (or common::UserError when the member is
// gone or their stored value no longer covers the payment); the caller's rollback then
// discards everything.
std::int64_t WriteSale(store::Database& db, const CurrentSale& sale, const Payment& payment);

// How many receipt copies the settings ask for after a sale: printtimes when the printer mode
// prints receipts ("POS58" on lpt1 or com1, "驱动打印", "驱动76mm"), else 0.
int ReceiptCopies(store::Database& db);

// Commits the sale. On failure nothing is stored, the reason is shown (CommitRefusal: "储值余额
// 不足", "会员不存在", "数据库只读", "磁盘已满", "数据库忙，请重试" or "流水写入有误") and the
// sale stays as it is, ready to be settled again. Once committed the drawer opens, the receipts
// print and the screen starts a new sale whatever the devices do, so the same sale can never be
// committed twice; device problems are shown as messages afterwards.
// The customer display keeps showing the change.
CommitResult CommitSale(CurrentSale& sale, const Payment& payment, SaleUi& ui);

}  // namespace sale
