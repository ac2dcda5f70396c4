#include "core/backoffice/goods/combined_goods.h"
#include "core/backoffice/goods/goods_files.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

void CombinedGoodsClear() { backoffice::CombinedGoodsClear(); }

backoffice::GoodsImported GoodsDataImportFromExcel(const std::string& path,
                                                   const files::Progress& progress) {
  return backoffice::ImportGoodsSpreadsheet(path, progress);
}

}  // namespace servicelib
