#pragma once

// The goods master: the list by class, one goods record for the editor, deleting, and the
// editor's helpers (PLU suggestion, item library, unit and class choices).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/store/yes_no.h"

namespace backoffice {

// The tree's root, which stands for every class.
inline constexpr const char* kAllClasses = "全部";
using store::kNo;
using store::kYes;

// One goods of the list as far as counting, searching and choosing need it.
struct GoodsListEntry {
  std::int64_t rowid = 0;
  std::string barcode;
  std::string goodsname;
};

// One row of the goods list, with the fifteen columns' values as stored.
struct GoodsListRow {
  std::int64_t rowid = 0;
  std::string barcode;
  std::string goodsname;
  std::string unit;
  std::string class_name;
  double salesprice = 0;
  double memberprice = 0;
  double importprice = 0;
  double averageimportprice = 0;
  double quantity = 0;  // current stock; 0 when the goods has no stock row
  double iniinventory = 0;
  std::string isscalegoods;
  std::int64_t pluno = 0;
  std::string recordingdate;
  bool givepoints = false;
};

// The editor's fields as texts, the way they are typed.
struct GoodsFields {
  std::string barcode;
  std::string goodsname;
  std::string unit;
  std::string class_name;
  std::string isscalegoods = kNo;
  std::string pluno = "0";
  std::string salesprice;
  std::string memberprice;
  std::string importprice;
  // Only files give it; empty means the import price. Saving an existing goods never writes it.
  std::string averageimportprice;
  std::string iniinventory = "0";
  bool givepoints = true;
  std::string iscombined = kNo;
};

// A quantity as the editors show it, without needless decimals: "12", "2.5", "0.125".
std::string QuantityText(double value);

// The class names in use, in the order the database gives them (goods without a class are
// listed under "全部" only). Throws store::DbError.
std::vector<std::string> LoadGoodsClasses();

// Every goods of the class (nullopt: of every class) in the order they were entered. The list
// reads the other columns a page at a time, for the rows it shows (LoadGoodsRows), so even
// 200 000 goods open at once. Throws store::DbError.
std::vector<GoodsListEntry> LoadGoodsList(const std::optional<std::string>& class_name);

// The most rows LoadGoodsRows reads at once.
inline constexpr std::size_t kGoodsPage = 256;

// The fifteen columns of the goods with these rowids (at most kGoodsPage), in the same order,
// with their stock (0 when a goods has no stock row). A goods deleted meanwhile comes back
// with rowid 0 and every column empty. Throws store::DbError.
std::vector<GoodsListRow> LoadGoodsRows(const std::vector<std::int64_t>& rowids);

// Removes the goods, its stock row and its own component rows in one transaction; component
// rows of other combined goods that name it stay. Throws store::DbError.
void DeleteGoods(const std::string& barcode);

bool GoodsBarcodeExists(const std::string& barcode);

// The stored goods as the editor shows it; nullopt when there is none. The editor's work table
// then holds the goods' own components (none for a goods that never had any), never those of
// an earlier edit. Throws store::DbError.
std::optional<GoodsFields> LoadGoodsForEdit(const std::string& barcode);

// The PLU number after the highest one of the scale goods ("1" when there is none).
std::string SuggestPluNumber();

struct ItemLibraryEntry {
  std::string goodsname;
  std::string unit;
};
// Name and unit of a known barcode from the item library; nullopt when it is not listed.
std::optional<ItemLibraryEntry> LookUpItemLibrary(const std::string& barcode);

// Whether the editor prefills new barcodes from the item library (management.useitemlibrary).
bool ItemLibraryEnabled();

// The distinct units and classes in use, sorted, for the editor's drop-downs.
std::vector<std::string> LoadUnitChoices();
std::vector<std::string> LoadClassChoices();

}  // namespace backoffice
