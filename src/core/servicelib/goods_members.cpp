#include "core/backoffice/goods/combined_goods.h"
#include "core/backoffice/goods/goods_files.h"
#include "core/lookups/members.h"
#include "core/lookups/open_or.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

using lookups::OpenOr;

std::optional<GoodsInfo> GetGoodsInfoFromBarcode(const std::string& barcode) {
  return OpenOr<std::optional<GoodsInfo>>(
      std::nullopt, [&](auto& db) { return lookups::FindGoods(db, barcode); });
}

std::string GetGoodsnameFromBarcode(const std::string& barcode) {
  return OpenOr<std::string>("", [&](auto& db) { return lookups::GoodsName(db, barcode); });
}

std::string GetBarcodeFromGoodsName(const std::string& name) {
  return OpenOr<std::string>("", [&](auto& db) { return lookups::BarcodeOfGoodsName(db, name); });
}

void CombinedGoodsClear() { backoffice::CombinedGoodsClear(); }

backoffice::GoodsImported GoodsDataImportFromExcel(const std::string& path,
                                                   const files::Progress& progress) {
  return backoffice::ImportGoodsSpreadsheet(path, progress);
}

std::string GetMemberName(const std::string& memberid) {
  return OpenOr<std::string>("", [&](auto& db) { return lookups::MemberName(db, memberid); });
}

double GetMemberDepositValue(const std::string& memberid) {
  return OpenOr(0.0, [&](auto& db) { return lookups::MemberBalance(db, memberid); });
}

double GetMemberPointsValue(const std::string& memberid) {
  return OpenOr(0.0, [&](auto& db) { return lookups::MemberPoints(db, memberid); });
}

}  // namespace servicelib
