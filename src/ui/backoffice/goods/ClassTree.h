#pragma once

// The goods class tree beside the goods list and the stock list: "全部" with every class of
// the goods under it.

#include <optional>
#include <string>

class QTreeWidget;
class QWidget;

namespace ui {

// Fills tree with the classes and selects keep (or "全部" when keep is none or gone), without
// signalling the change. A class list that cannot be read is said ("商品有误") and leaves
// "全部" alone.
void FillClassTree(QWidget* parent, QTreeWidget* tree, const std::optional<std::string>& keep);

// The class selected; none for "全部" or no selection.
std::optional<std::string> SelectedClass(const QTreeWidget* tree);

}  // namespace ui
