#pragma once

#include <zbar.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "support/test_database.h"

namespace testing_support {

// Every symbol ZBar reads in the image, Code 128 only.
inline std::vector<std::string> DecodeCode128(const QImage& image) {
  using namespace zbar;  // the C interface, which zbar.h puts in a namespace under C++
  const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
  const int width = gray.width();
  const int height = gray.height();
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    std::copy_n(gray.constScanLine(y), width, pixels.begin() + static_cast<long>(y) * width);
  }
  zbar_image_scanner_t* scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner, ZBAR_CODE128, ZBAR_CFG_ENABLE, 1);
  zbar_image_t* frame = zbar_image_create();
  zbar_image_set_format(frame, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(frame, static_cast<unsigned>(width), static_cast<unsigned>(height));
  zbar_image_set_data(frame, pixels.data(), pixels.size(), nullptr);
  zbar_scan_image(scanner, frame);
  std::vector<std::string> found;
  for (const zbar_symbol_t* symbol = zbar_image_first_symbol(frame); symbol;
       symbol = zbar_symbol_next(symbol)) {
    found.emplace_back(zbar_symbol_get_data(symbol));
  }
  zbar_image_destroy(frame);
  zbar_image_scanner_destroy(scanner);
  return found;
}

// Pages of a PDF file, counted by its page objects.
inline int PdfPageCount(const std::filesystem::path& pdf) {
  const std::string bytes = FileBytes(pdf);
  static const std::regex page(R"(/Type\s*/Page(?![a-zA-Z]))");
  return static_cast<int>(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page),
                                        std::sregex_iterator()));
}

// Width and height of the PDF's first page in millimetres, from its media box.
inline std::pair<double, double> PdfPageSizeMm(const std::filesystem::path& pdf) {
  const std::string bytes = FileBytes(pdf);
  std::smatch match;
  static const std::regex box(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+))");
  if (!std::regex_search(bytes, match, box)) return {0, 0};
  constexpr double kMmPerPoint = 25.4 / 72;
  return {std::stod(match[1]) * kMmPerPoint, std::stod(match[2]) * kMmPerPoint};
}

// The text poppler's pdftotext reads from a PDF; "" when it cannot.
inline std::string PdfText(const std::filesystem::path& pdf) {
  std::filesystem::path text = pdf;
  text.replace_extension(".txt");
  const std::string command = "pdftotext -q '" + pdf.string() + "' '" + text.string() + "'";
  return std::system(command.c_str()) == 0 ? FileBytes(text) : "";
}

// The PDF's first page rendered in grey by poppler's pdftoppm at the given resolution.
inline QImage PdfPageImage(const std::filesystem::path& pdf, int dpi) {
  std::filesystem::path image = pdf;
  image.replace_extension();
  const std::string command = "pdftoppm -q -gray -png -singlefile -r " + std::to_string(dpi) +
                              " '" + pdf.string() + "' '" + image.string() + "'";
  if (std::system(command.c_str()) != 0) return {};
  return QImage(QString::fromStdString(image.string() + ".png"));
}

}  // namespace testing_support
