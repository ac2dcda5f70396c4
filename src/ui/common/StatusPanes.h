#pragma once

// The status bar at the foot of the cashier screens and the report preview: panes of text side
// by side, each a label found by its name.

#include <QString>
#include <initializer_list>
#include <vector>

class QLabel;
class QStatusBar;
class QWidget;

namespace ui {

struct StatusPane {
  const char* name;  // the label's objectName
  int stretch;       // its share of the width
  QString text = {};
};

struct StatusBar {
  QStatusBar* bar;
  std::vector<QLabel*> panes;  // in the order given
};

// A status bar named "statusBar", without a size grip, owned by owner, holding the panes in
// order. The caller places the bar.
StatusBar MakeStatusBar(QWidget* owner, std::initializer_list<StatusPane> panes);

// What the program's background sender says of the shop server ("总部: 已同步" ...), or an
// empty text when none runs or the till has not joined.
QString ServerStatusText();

}  // namespace ui
