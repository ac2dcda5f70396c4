// A shared screen piece that reaches up into the program's own screens.
#include "ui/app/FileSearchDialog.h"
#include "ui/common/MessageBox.h"
