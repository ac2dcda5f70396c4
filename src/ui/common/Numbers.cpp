#include "ui/common/Numbers.h"

#include "core/common/format.h"

namespace ui {

QString FormatFixed(double value, int decimals) {
  return QString::fromStdString(common::Fixed(value, decimals));
}

QString FormatMoney(double value) { return FormatFixed(value, 2); }

QString FormatWeight(double value) { return FormatFixed(value, 3); }

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace ui
