// The keyboard till reaching into the touch till, a screen beside it, not below it.
#include "ui/sale/SaleLinesModel.h"
#include "ui/touch/TouchFrontDialog.h"
