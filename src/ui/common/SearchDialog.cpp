#include "ui/common/SearchDialog.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <optional>
#include <string>

#include "core/common/error.h"
#include "core/reports/search_list.h"
#include "ui/common/MessageBox.h"
#include "ui_SearchDialog.h"

namespace ui {

SearchDialog::SearchDialog(QWidget* parent, QTableView* view, const SearchableList& rows,
                           const QList<SearchColumn>& columns)
    : QDialog(parent),
      ui_(std::make_unique<Ui::SearchDialog>()),
      view_(view),
      rows_(rows),
      columns_(columns) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  for (const SearchColumn& column : columns_) ui_->kindCombo->addItem(column.caption);
  // The first column offered (条码, 会员编号) is what is searched for most often.
  ui_->kindCombo->setCurrentIndex(columns_.isEmpty() ? -1 : 0);
  ui_->searchButton->setDefault(true);
  connect(ui_->searchButton, &QPushButton::clicked, this, [this] { Search(true); });
  connect(ui_->nextButton, &QPushButton::clicked, this, [this] { Search(false); });
  connect(ui_->exitButton, &QPushButton::clicked, this, &SearchDialog::close);
}

SearchDialog::~SearchDialog() = default;

SearchDialog* SearchDialog::Open(QTableView* view, const SearchableList& rows,
                                 const QList<SearchColumn>& columns) {
  auto* prompt = view->findChild<SearchDialog*>(QString(), Qt::FindDirectChildrenOnly);
  // Owned by the view it searches, so it never outlives the rows it reads.
  if (!prompt) prompt = new SearchDialog(view, view, rows, columns);
  prompt->show();
  prompt->raise();
  prompt->activateWindow();
  prompt->ui_->targetEdit->setFocus();
  return prompt;
}

void SearchDialog::Search(bool from_top) {
  const int kind = ui_->kindCombo->currentIndex();
  const int column = kind >= 0 ? columns_[kind].column : 0;
  std::optional<std::size_t> selected;
  const QModelIndexList chosen = view_->selectionModel()->selectedRows();
  if (!chosen.isEmpty()) selected = static_cast<std::size_t>(chosen.front().row());
  const std::string target = ui_->targetEdit->text().toStdString();
  reports::SearchRows rows{
      static_cast<std::size_t>(rows_.SearchRowCount()),
      [this, column](std::size_t row) { return rows_.SearchText(static_cast<int>(row), column); }};
  try {
    const std::size_t found = reports::SearchList(
        rows, kind >= 0 ? ui_->kindCombo->currentText().toStdString() : std::string(), target,
        from_top ? reports::SearchFrom::kTop : reports::SearchFrom::kNext, selected);
    const QModelIndex index = view_->model()->index(static_cast<int>(found), column);
    view_->selectRow(index.row());
    view_->scrollTo(index);
  } catch (const common::UserError& error) {
    ShowMessage(this, QString::fromStdString(error.what()));
  }
}

}  // namespace ui
