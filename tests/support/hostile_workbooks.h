#pragma once

// Workbooks no spreadsheet program writes but a hostile or broken file can be: a few
// kilobytes of archive whose cells unfold into far more text than any import needs.

#include <string>

#include "support/zip_writer.h"

namespace testing_support {

// An .xlsx whose one sheet has rows of cells, every cell the same shared string of
// text_bytes letters (the names row included).
inline std::string RepeatedSharedStringXlsx(int rows, int columns, int text_bytes) {
  ZipWriter zip;
  zip.Add("xl/workbook.xml",
          "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
          "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  zip.Add("xl/_rels/workbook.xml.rels",
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\" Type=\"http://schemas."
          "openxmlformats.org/officeDocument/2006/relationships/worksheet\"/>"
          "<Relationship Id=\"rId2\" Target=\"sharedStrings.xml\" Type=\"http://schemas."
          "openxmlformats.org/officeDocument/2006/relationships/sharedStrings\"/>"
          "</Relationships>");
  zip.Add("xl/sharedStrings.xml",
          "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>" +
              std::string(static_cast<std::size_t>(text_bytes), 'x') + "</t></si></sst>");
  std::string cells;
  for (int column = 0; column < columns; ++column) cells += "<c t=\"s\"><v>0</v></c>";
  std::string sheet =
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<sheetData>";
  for (int row = 1; row <= rows; ++row) {
    sheet += "<row r=\"" + std::to_string(row) + "\">" + cells + "</row>";
  }
  zip.Add("xl/worksheets/sheet1.xml", sheet + "</sheetData></worksheet>");
  return zip.Finish();
}

// An .ods whose one table has a names row, then one row repeated `rows` times: in each, one
// cell repeated across `columns` columns, of name_bytes letters in the names row and of
// text_bytes letters below (name_bytes 0: as many as text_bytes).
inline std::string RepeatedCellOds(int rows, int columns, int text_bytes, int name_bytes = 0) {
  ZipWriter zip;
  zip.Add("mimetype", "application/vnd.oasis.opendocument.spreadsheet");
  auto repeated = [&](int bytes) {
    return "<table:table-cell table:number-columns-repeated=\"" + std::to_string(columns) +
           "\" office:value-type=\"string\"><text:p>" +
           std::string(static_cast<std::size_t>(bytes), 'y') + "</text:p></table:table-cell>";
  };
  const std::string names = repeated(name_bytes > 0 ? name_bytes : text_bytes);
  const std::string cell = repeated(text_bytes);
  zip.Add("content.xml",
          "<office:document-content "
          "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
          "<office:spreadsheet><table:table table:name=\"Sheet1\"><table:table-row>" +
              names + "</table:table-row><table:table-row table:number-rows-repeated=\"" +
              std::to_string(rows) + "\">" + cell +
              "</table:table-row></table:table></office:spreadsheet></office:body>"
              "</office:document-content>");
  return zip.Finish();
}

}  // namespace testing_support
