#pragma once

// A slip the till prints (sale receipt, shift slip, petty-cash and drawer notes), composed as
// lines of text before it is known how it will be printed: a receipt printer gets it as
// ESC/POS bytes, a driver printer draws it. Widths are counted in display columns the way a
// receipt printer counts them in GBK: one column for an ASCII character, two for any other
// (every Chinese character is a double-byte GBK character and prints twice as wide).

#include <string>
#include <string_view>
#include <vector>

namespace print {

// Columns across the paper. A 58 mm roll prints 48 mm with the 12x24 font: 384 dots, 32
// columns. A 76 mm roll is an impact printer's paper: 42 columns in its 7x9 font.
inline constexpr int kColumns58mm = 32;
inline constexpr int kColumns76mm = 42;
inline constexpr int kPaper58mm = 58;
inline constexpr int kPaper76mm = 76;

enum class Align { kLeft, kCenter, kRight };

struct SlipLine {
  std::string text;  // UTF-8, already fitted to the slip's columns
  Align align = Align::kLeft;
  bool emphasis = false;
};

struct Slip {
  int columns = kColumns58mm;
  std::vector<SlipLine> lines;
  int feed_lines = 0;  // blank lines fed after the last line, so the slip can be torn off

  // One line, cut to the columns.
  void Text(std::string_view text, Align align = Align::kLeft, bool emphasis = false);
  // As many lines as the text needs; line ends in the text start new lines.
  void Wrapped(std::string_view text, Align align = Align::kLeft, bool emphasis = false);
  // A caption flush left and a value flush right on one line.
  void Pair(std::string_view left, std::string_view right, bool emphasis = false);
  // A line of dashes across the paper.
  void Rule();
};

// Columns the text takes on the paper.
int DisplayWidth(std::string_view utf8);

// The longest leading part of the text that fits in the columns, never cutting a character
// in half (a double-byte character that would stick out is left off whole).
std::string FitColumns(std::string_view utf8, int columns);

// The text broken into lines of at most the columns; line ends in the text break too. An
// empty text is one empty line.
std::vector<std::string> WrapColumns(std::string_view utf8, int columns);

// left flush left, right flush right, at least one blank between them. When both do not
// fit, the left text is cut; the value on the right is never cut unless it alone is wider
// than the paper.
std::string PairLine(std::string_view left, std::string_view right, int columns);

// Each field right-aligned in its width, the fields side by side (a field wider than its
// width is cut).
std::string RightColumns(const std::vector<std::string>& fields, const std::vector<int>& widths);

// The text with every control character (ESC, line ends, tabs...) turned into a blank, so
// that a name typed into the data can never send a command to the printer.
std::string PrintableText(std::string_view utf8);

}  // namespace print
