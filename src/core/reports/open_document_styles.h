#pragma once

// The part of a workbook's styles that decides how a number reads: whether its cell format
// shows a date, a time or a plain number.

#include <cstdint>
#include <map>
#include <orcus/spreadsheet/import_interface.hpp>
#include <string>
#include <vector>

namespace reports {

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

// Takes in a workbook's styles and keeps only what NumberFormats needs.
class FormatStyles : public orcus::spreadsheet::iface::import_styles {
  using Color = orcus::spreadsheet::color_elem_t;

 public:
  explicit FormatStyles(NumberFormats& formats) : formats_(formats) {}

  void set_number_format_count(std::size_t) override {}
  void set_number_format_identifier(std::size_t id) override { format_id_ = id; }
  void set_number_format_code(std::string_view s) override { format_code_ = s; }
  std::size_t commit_number_format() override;
  void set_xf_number_format(std::size_t index) override { xf_format_ = index; }
  std::size_t commit_cell_xf() override;

  // Everything else about looks is of no interest here.
  void set_font_count(std::size_t) override {}
  void set_font_bold(bool) override {}
  void set_font_italic(bool) override {}
  void set_font_name(std::string_view) override {}
  void set_font_size(double) override {}
  void set_font_underline(orcus::spreadsheet::underline_t) override {}
  void set_font_underline_width(orcus::spreadsheet::underline_width_t) override {}
  void set_font_underline_mode(orcus::spreadsheet::underline_mode_t) override {}
  void set_font_underline_type(orcus::spreadsheet::underline_type_t) override {}
  void set_font_underline_color(Color, Color, Color, Color) override {}
  void set_font_color(Color, Color, Color, Color) override {}
  void set_strikethrough_style(orcus::spreadsheet::strikethrough_style_t) override {}
  void set_strikethrough_type(orcus::spreadsheet::strikethrough_type_t) override {}
  void set_strikethrough_width(orcus::spreadsheet::strikethrough_width_t) override {}
  void set_strikethrough_text(orcus::spreadsheet::strikethrough_text_t) override {}
  std::size_t commit_font() override { return fonts_++; }
  void set_fill_count(std::size_t) override {}
  void set_fill_pattern_type(orcus::spreadsheet::fill_pattern_t) override {}
  void set_fill_fg_color(Color, Color, Color, Color) override {}
  void set_fill_bg_color(Color, Color, Color, Color) override {}
  std::size_t commit_fill() override { return fills_++; }
  void set_border_count(std::size_t) override {}
  void set_border_style(orcus::spreadsheet::border_direction_t,
                        orcus::spreadsheet::border_style_t) override {}
  void set_border_color(orcus::spreadsheet::border_direction_t, Color, Color, Color,
                        Color) override {}
  void set_border_width(orcus::spreadsheet::border_direction_t, double,
                        orcus::length_unit_t) override {}
  std::size_t commit_border() override { return borders_++; }
  void set_cell_hidden(bool) override {}
  void set_cell_locked(bool) override {}
  void set_cell_print_content(bool) override {}
  void set_cell_formula_hidden(bool) override {}
  std::size_t commit_cell_protection() override { return protections_++; }
  void set_cell_xf_count(std::size_t) override {}
  void set_cell_style_xf_count(std::size_t) override {}
  void set_dxf_count(std::size_t) override {}
  void set_xf_font(std::size_t) override {}
  void set_xf_fill(std::size_t) override {}
  void set_xf_border(std::size_t) override {}
  void set_xf_protection(std::size_t) override {}
  void set_xf_style_xf(std::size_t) override {}
  void set_xf_apply_alignment(bool) override {}
  void set_xf_horizontal_alignment(orcus::spreadsheet::hor_alignment_t) override {}
  void set_xf_vertical_alignment(orcus::spreadsheet::ver_alignment_t) override {}
  std::size_t commit_cell_style_xf() override { return Reset(style_xfs_++); }
  std::size_t commit_dxf() override { return Reset(dxfs_++); }
  void set_cell_style_count(std::size_t) override {}
  void set_cell_style_name(std::string_view) override {}
  void set_cell_style_xf(std::size_t) override {}
  void set_cell_style_builtin(std::size_t) override {}
  void set_cell_style_parent_name(std::string_view) override {}
  std::size_t commit_cell_style() override { return styles_++; }

 private:
  std::size_t Reset(std::size_t index) {
    xf_format_ = 0;
    return index;
  }

  NumberFormats& formats_;
  std::size_t format_id_ = 0;
  std::string format_code_;
  std::size_t formats_committed_ = 0;
  std::size_t xf_format_ = 0;
  std::size_t xfs_ = 0;
  std::size_t style_xfs_ = 0;
  std::size_t dxfs_ = 0;
  std::size_t fonts_ = 0;
  std::size_t fills_ = 0;
  std::size_t borders_ = 0;
  std::size_t protections_ = 0;
  std::size_t styles_ = 0;
};

}  // namespace reports
