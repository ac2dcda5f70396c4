#include "core/sale/receipts.h"
