#include "ui/backoffice/goods/ClassTree.h"

#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <vector>

#include "core/backoffice/goods/goods_master.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"

namespace ui {
namespace {

constexpr int kClassRole = Qt::UserRole;

}  // namespace

void FillClassTree(QWidget* parent, QTreeWidget* tree, const std::optional<std::string>& keep) {
  std::vector<std::string> classes;
  try {
    classes = backoffice::LoadGoodsClasses();
  } catch (const store::DbError&) {
    ShowMessage(parent, "商品有误");
  }
  const QSignalBlocker quiet(tree);
  tree->clear();
  auto* root = new QTreeWidgetItem(tree, {QString::fromUtf8(backoffice::kAllClasses)});
  QTreeWidgetItem* selected = root;
  for (const std::string& name : classes) {
    auto* item = new QTreeWidgetItem(root, {QString::fromStdString(name)});
    item->setData(0, kClassRole, QString::fromStdString(name));
    if (keep == name) selected = item;
  }
  root->setExpanded(true);
  selected->setSelected(true);
  tree->setCurrentItem(selected);
}

std::optional<std::string> SelectedClass(const QTreeWidget* tree) {
  const QList<QTreeWidgetItem*> items = tree->selectedItems();
  if (items.isEmpty() || !items.front()->parent()) return std::nullopt;
  return items.front()->data(0, kClassRole).toString().toStdString();
}

}  // namespace ui
