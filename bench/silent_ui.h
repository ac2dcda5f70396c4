#pragma once

// What the sale engine asks while a benchmark rings up known goods: nothing. Any question
// means the benchmark measures the wrong path, so it stops the run.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/sale/sale_ui.h"

namespace bench {

class SilentUi : public sale::SaleUi {
 public:
  void Message(std::string_view text) override { Fail(text); }
  bool AskYesNo(std::string_view text) override { Fail(text); }
  std::optional<double> EnterPrice() override { Fail("price entry"); }
  std::optional<sale::QuickGoods> EnterQuickGoods(const sale::QuickGoods&) override {
    Fail("quick goods entry");
  }
  std::optional<std::string> ConfirmWeight(const std::string&) override { Fail("weighing"); }
  std::optional<std::string> SelectMember() override { Fail("member selection"); }

 private:
  [[noreturn]] static void Fail(std::string_view what) {
    throw std::runtime_error("the sale engine asked: " + std::string(what));
  }
};

}  // namespace bench
