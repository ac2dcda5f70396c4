#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <memory>
#include <string_view>

class QTableView;

namespace Ui {
class SearchDialog;
}

namespace ui {

// A list the search prompt can look through. Its models implement this beside
// QAbstractTableModel, handing out the texts they already hold.
class SearchableList {
 public:
  virtual ~SearchableList() = default;
  virtual int SearchRowCount() const = 0;
  // The UTF-8 text of a row in a model column; valid until the list is reloaded.
  virtual std::string_view SearchText(int row, int column) const = 0;
};

// A column the prompt offers: its caption ("条码", "名称", "会员编号", ...) and the model
// column it searches.
struct SearchColumn {
  QString caption;
  int column = 0;
};

// "搜索": the prompt every list opens with "搜索", starting on the first column offered.
// "开始搜索" finds the first row whose text in the chosen column contains the target; "下一个"
// the next one after the selected row. The row found is selected and scrolled into view in
// the list; the prompt stays open between searches and follows the list through reloads.
class SearchDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(SearchDialog)

 public:
  // view shows rows (its model's rows in the same order); both must outlive the prompt, which
  // a parent that owns them ensures.
  SearchDialog(QWidget* parent, QTableView* view, const SearchableList& rows,
               const QList<SearchColumn>& columns);
  ~SearchDialog() override;

  // Shows the one prompt of this view without blocking the list, creating it the first time.
  // The prompt belongs to the view.
  static SearchDialog* Open(QTableView* view, const SearchableList& rows,
                            const QList<SearchColumn>& columns);

 private:
  void Search(bool from_top);

  std::unique_ptr<Ui::SearchDialog> ui_;
  QTableView* view_;
  const SearchableList& rows_;
  QList<SearchColumn> columns_;
};

}  // namespace ui
