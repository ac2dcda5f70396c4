// The cashier's entry field over any text: the input is a run of entries, one a line, typed
// into one sale on a small shop (ordinary goods, goods priced 0, scale goods, a member). The
// first byte picks the scale settings (scale barcodes on or off, the serial scale on or off)
// and the answers the cashier gives (Yes or No, a price or cancel, a weight or cancel).
// Nothing an entry does may crash, and the sale must stay sound: the selection inside the
// lines, every line with its 13 columns, the total a finite number.

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/sale/current_sale.h"
#include "core/sale/process_entry.h"
#include "core/sale/sale_lines.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "fuzz_support.h"

namespace {

// Answers every question from the bits of one byte, in turn; quick goods entry is always
// cancelled, so no entry writes to kasso.db and every input runs on the same shop.
class FuzzSaleUi : public sale::SaleUi {
 public:
  explicit FuzzSaleUi(unsigned answers) : answers_(answers) {}
  void Message(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return Next(); }
  std::optional<double> EnterPrice() override {
    if (!Next()) return std::nullopt;
    return 12.5;
  }
  std::optional<sale::QuickGoods> EnterQuickGoods(const sale::QuickGoods&) override {
    return std::nullopt;
  }
  std::optional<std::string> ConfirmWeight(const std::string&) override {
    if (!Next()) return std::nullopt;
    return Next() ? "0.755" : "abc";
  }
  std::optional<std::string> SelectMember() override {
    if (!Next()) return std::nullopt;
    return "M001";
  }

 private:
  bool Next() {
    const bool answer = (answers_ >> (turn_ % 8)) & 1;
    ++turn_;
    return answer;
  }
  unsigned answers_;
  unsigned turn_ = 0;
};

void SetUpShop() {
  store::SetDataDirectory(fuzzing::Scratch());
  store::CreateNewDatabase(store::DatabasePath());
  store::Database db;
  auto goods = [&](const char* barcode, const char* name, double price, double member_price,
                   const char* scale) {
    db.Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
        "givepoints,iscombined) values (?,?,'个','未分类',?,?,0,0,'2024-01-01 00:00:00',?,0,0,"
        "1,'否')",
        barcode, name, price, member_price, scale);
  };
  goods("6901234567892", "矿泉水", 2.5, 2.0, "否");
  goods("123", "散装糖果", 0, 0, "否");
  goods("00017", "苹果", 8.8, 8.0, "是");
  goods("1", "一", 99999.99, 1, "否");
  db.Exec(
      "insert into membermaster (memberid,membername,memberpointsmode,memberpointsvalue,"
      "depositmode,depositvalue,dismode,disrate,disondis) values ('M001','会员','是',0,'是',100,"
      "'会员折扣',0.9,'是')");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetUpShop();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned settings = data[0];
  {
    store::Database db;
    db.Exec(
        "update management set scale=?, scalesimple='2', scalebarcode=5, scalevalue=5, "
        "usecomscale=?",
        (settings & 1) ? "是" : "否", (settings & 2) ? "是" : "否");
  }
  FuzzSaleUi ui(data[1]);
  sale::NullCustomerDisplay display;
  sale::CurrentSale current;
  current.workno = "0";
  sale::NewSale(current);
  const std::string_view text = fuzzing::AsText(data + 2, size - 2);
  std::size_t start = 0;
  for (int entries = 0; start <= text.size() && entries < 64; ++entries) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    sale::ProcessEntry(current, std::string(text.substr(start, end - start)), ui, display);
    if (current.selected < -1 || current.selected >= static_cast<int>(current.lines.size())) {
      std::abort();
    }
    if (!std::isfinite(current.total)) std::abort();
    start = end + 1;
  }
  return 0;
}
