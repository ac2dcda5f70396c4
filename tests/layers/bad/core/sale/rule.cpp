#include <QString>
#include "ui/sale/SettleDialog.h"
