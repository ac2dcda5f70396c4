#include "ui/common/StatusPanes.h"

#include <QLabel>
#include <QStatusBar>

#include "core/serversync/background_sender.h"

namespace ui {

StatusBar MakeStatusBar(QWidget* owner, std::initializer_list<StatusPane> panes) {
  StatusBar made{new QStatusBar(owner), {}};
  made.bar->setObjectName("statusBar");
  made.bar->setSizeGripEnabled(false);
  for (const StatusPane& pane : panes) {
    auto* label = new QLabel(pane.text, made.bar);
    label->setObjectName(pane.name);
    made.bar->addWidget(label, pane.stretch);
    made.panes.push_back(label);
  }
  return made;
}

QString ServerStatusText() {
  serversync::BackgroundSender* sender = serversync::BackgroundSender::Running();
  return sender != nullptr ? QString::fromStdString(sender->StatusText()) : QString();
}

}  // namespace ui
