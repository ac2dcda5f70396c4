#pragma once

// What the sale engine asks or tells the person at the till, and where it sends the running
// total. A cashier screen implements these with its dialogs and its pole display; tests
// implement them with scripted answers. The engine never knows which screen drives it.

#include <optional>
#include <string>
#include <string_view>

namespace sale {

// A goods item created on the spot for an unknown barcode. The price is the text as typed;
// the engine checks it before anything is saved.
struct QuickGoods {
  std::string barcode;
  std::string goodsname;
  std::string price;
};

class SaleUi {
 public:
  virtual ~SaleUi() = default;

  // A message in a box titled "确认".
  virtual void Message(std::string_view text) = 0;
  // A Yes/No question titled "确认"; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  // The price entry ("价格录入") for goods priced 0; nullopt when cancelled. The screen
  // checks the typed text with CheckPriceEntry before it closes.
  virtual std::optional<double> EnterPrice() = 0;
  // The quick goods entry ("商品快速录入") for an unknown barcode, opened with the
  // suggested name and price; returns what was typed, or nullopt when cancelled. When the
  // typed goods cannot be saved the engine says why and opens it again with the typed values.
  virtual std::optional<QuickGoods> EnterQuickGoods(const QuickGoods& suggested) = 0;
  // The weighing confirmation ("称重确认") for scale goods on the serial scale; returns the
  // weight text, or nullopt when cancelled.
  virtual std::optional<std::string> ConfirmWeight(const std::string& goods_name) = 0;
  // The member selection ("会员选择"); returns the chosen member id (already checked with
  // CheckMemberSelection), or nullopt when cancelled.
  virtual std::optional<std::string> SelectMember() = 0;
};

// The customer-facing pole display. Lamp 2 carries the running total, lamp 4 the change.
class CustomerDisplay {
 public:
  static constexpr int kTotalLamp = 2;
  static constexpr int kChangeLamp = 4;

  virtual ~CustomerDisplay() = default;
  // Must not throw: a display that cannot be written never stops a sale.
  virtual void Show(int lamp, double value) = 0;
  void ShowTotal(double total) { Show(kTotalLamp, total); }
};

// A till without a pole display: writes nowhere.
class NullCustomerDisplay : public CustomerDisplay {
 public:
  void Show(int /*lamp*/, double /*value*/) override {}
};

}  // namespace sale
