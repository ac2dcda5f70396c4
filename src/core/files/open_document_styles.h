#pragma once

// The part of an .xlsx workbook's styles that decides how a number reads: whether its cell
// format shows a date, a time or a plain number.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace files {

class NumberFormats {
 public:
  // The day a date serial 0 stands for (1899-12-30 unless the workbook says otherwise).
  void SetOriginDate(int year, int month, int day);
  // A number format of the workbook: its identifier and its code.
  void AddFormat(std::size_t id, std::string code);
  // A cell format and the identifier of the number format it uses.
  void AddCellFormat(std::size_t number_format);
  // The number as its cell with format xf shows it: a date, a time or a plain decimal.
  std::string Text(double value, std::uint32_t xf) const;

 private:
  enum class Shows : std::uint8_t { kNumber, kDate, kTime, kDateTime };
  Shows KindOf(std::uint32_t xf) const;

  long origin_days_ = -25569;  // 1899-12-30 counted from 1970-01-01
  std::map<std::size_t, Shows> custom_;
  std::vector<std::size_t> cell_formats_;
};

}  // namespace files
