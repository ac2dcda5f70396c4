#pragma once

// List models whose columns are declared once, as data: a table of ListColumn, one entry per
// column, giving its heading, its width, its alignment and how its text is made from a row.
// The back-office lists differ only by that table and by where their rows come from: a vector
// of rows (RowTableModel), or a long list whose full rows are read a page at a time
// (PagedTableModel).

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "ui/common/PagedRows.h"

namespace ui {

inline constexpr Qt::Alignment kCentred = Qt::AlignCenter;
inline constexpr Qt::Alignment kRightAligned = Qt::AlignVCenter | Qt::AlignRight;
// No alignment or width of the list's own: the view's default.
inline constexpr Qt::Alignment kViewAligned{};
inline constexpr int kViewWidth = -1;

// One column of a list. Key is the part of a row that a paged list holds for every row; a
// column that can be shown from it alone says so with key_text, and shows without reading the
// row's page.
template <typename Row, typename Key = Row>
struct ListColumn {
  const char* heading;
  int width;  // in the view; 0 hides the column
  Qt::Alignment alignment;
  QString (*text)(const Row& row);
  QString (*key_text)(const Key& key) = nullptr;
};

// Headings, alignment and widths from the column table; a subclass gives the rows and the text
// of a cell.
template <typename Row, typename Key = Row>
class ColumnTableModel : public QAbstractTableModel {
 public:
  using Column = ListColumn<Row, Key>;

  // Sets the view's column widths to the table's, hiding the columns of width 0.
  void ApplyWidths(QTableView* view) const {
    for (std::size_t column = 0; column < columns_.size(); ++column) {
      const int width = columns_[column].width;
      if (width == 0) {
        view->setColumnHidden(static_cast<int>(column), true);
      } else if (width != kViewWidth) {
        view->setColumnWidth(static_cast<int>(column), width);
      }
    }
  }

  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
  }

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
    const Qt::Alignment alignment = ColumnAt(index.column()).alignment;
    if (role == Qt::TextAlignmentRole && alignment != kViewAligned) {
      return QVariant::fromValue(alignment);
    }
    return {};
  }

  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromUtf8(ColumnAt(section).heading);
  }

 protected:
  ColumnTableModel(QObject* parent, std::span<const Column> columns)
      : QAbstractTableModel(parent), columns_(columns) {}

  const Column& ColumnAt(int column) const { return columns_[static_cast<std::size_t>(column)]; }
  virtual QString CellText(int row, int column) const = 0;

 private:
  std::span<const Column> columns_;
};

// A list over a vector of rows held whole.
template <typename Item>
class RowTableModel : public ColumnTableModel<Item> {
 public:
  RowTableModel(QObject* parent, std::span<const ListColumn<Item>> columns)
      : ColumnTableModel<Item>(parent, columns) {}

  void SetRows(std::vector<Item> rows) {
    this->beginResetModel();
    rows_ = std::move(rows);
    this->endResetModel();
  }
  const Item& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  const std::vector<Item>& Rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }

 protected:
  QString CellText(int row, int column) const override {
    return this->ColumnAt(column).text(Row(row));
  }

  // Shows a row read again, without reading the whole list.
  void ReplaceRow(std::size_t row, Item value) {
    rows_[row] = std::move(value);
    const int at = static_cast<int>(row);
    emit this->dataChanged(this->index(at, 0), this->index(at, this->columnCount() - 1));
  }

 private:
  std::vector<Item> rows_;
};

// A long list that holds the key of every row (KeyRow: its rowid and what the key columns show)
// and reads the full rows (FullRow) a page at a time when they are first shown, so that 200 000
// rows open at once. A column without key_text shows empty while its page cannot be read.
template <typename KeyRow, typename FullRow>
class PagedTableModel : public ColumnTableModel<FullRow, KeyRow> {
 public:
  void SetEntries(std::vector<KeyRow> entries) {
    this->beginResetModel();
    entries_ = std::move(entries);
    pages_.Clear();
    this->endResetModel();
  }
  const KeyRow& Entry(int row) const { return entries_[static_cast<std::size_t>(row)]; }
  const std::vector<KeyRow>& Entries() const { return entries_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
  }

 protected:
  using Column = typename ColumnTableModel<FullRow, KeyRow>::Column;

  PagedTableModel(QObject* parent, std::span<const Column> columns, std::size_t page_size,
                  typename PagedRows<FullRow>::Loader load)
      : ColumnTableModel<FullRow, KeyRow>(parent, columns), pages_(page_size, load) {}

  QString CellText(int row, int column) const override {
    const Column& shown = this->ColumnAt(column);
    if (shown.key_text != nullptr) return shown.key_text(Entry(row));
    const FullRow* full = pages_.Find(static_cast<std::size_t>(row), entries_.size(),
                                      [this](std::size_t i) { return entries_[i].rowid; });
    return full != nullptr ? shown.text(*full) : QString();
  }

 private:
  std::vector<KeyRow> entries_;
  PagedRows<FullRow> pages_;
};

}  // namespace ui
