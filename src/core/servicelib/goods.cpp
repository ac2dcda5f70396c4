#include "core/backoffice/goods/combined_goods.h"
#include "core/servicelib/kasso_basic.h"

namespace servicelib {

void CombinedGoodsClear() { backoffice::CombinedGoodsClear(); }

}  // namespace servicelib
