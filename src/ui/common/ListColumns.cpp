#include "ui/common/ListColumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QSettings>
#include <QStringList>
#include <QStyle>
#include <QTableView>
#include <algorithm>

namespace ui {
namespace {

// Enough rows to know a column's content without reading a list of 200 000 rows.
constexpr int kSampledRows = 50;
// One long text in the first rows (a name, an address) must not take the whole screen: such a
// column stops here, and the user widens it if needed.
constexpr int kMaxFittedWidth = 400;
// The grid line and a little air beside the cell's own margins.
constexpr int kSlack = 3;
constexpr char kLongestBarcode[] = "0000000000000";
constexpr char kFullDateTime[] = "2026-12-06 10:30:00";

QString SettingsKey(const QString& list_name) { return "ListColumns/" + list_name; }

}  // namespace

void ListColumns::FitAndRemember(QTableView* view, const QString& list_name) {
  auto* columns =
      view->horizontalHeader()->findChild<ListColumns*>(QString(), Qt::FindDirectChildrenOnly);
  if (!columns) columns = new ListColumns(view);
  columns->Use(list_name);
}

ListColumns::ListColumns(QTableView* view) : QObject(view->horizontalHeader()), view_(view) {
  QHeaderView* header = view->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->viewport()->installEventFilter(this);
  connect(header, &QHeaderView::sectionResized, this, &ListColumns::OnSectionResized);
  if (view->model()) {
    connect(view->model(), &QAbstractItemModel::modelReset, this, &ListColumns::Apply);
  }
}

void ListColumns::Use(const QString& list_name) {
  list_name_ = list_name;
  user_widths_.clear();
  const QStringList saved =
      QSettings("Tillwise", "Tillwise").value(SettingsKey(list_name)).toStringList();
  for (int column = 0; column < saved.size(); ++column) {
    const int width = saved[column].toInt();
    if (width > 0) user_widths_.insert(column, width);
  }
  Apply();
}

void ListColumns::Apply() {
  const QAbstractItemModel* model = view_->model();
  if (!model) return;
  for (int column = 0; column < model->columnCount(); ++column) {
    if (view_->isColumnHidden(column)) continue;
    const auto saved = user_widths_.constFind(column);
    view_->setColumnWidth(column, saved != user_widths_.cend() ? *saved : FittedWidth(column));
  }
}

int ListColumns::FittedWidth(int column) const {
  const QAbstractItemModel* model = view_->model();
  int width = view_->horizontalHeader()->sectionSizeHint(column);
  const QString heading = model->headerData(column, Qt::Horizontal).toString();
  const int margin = view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1;
  auto room_for = [&](const char* text) {
    return view_->fontMetrics().horizontalAdvance(QString::fromLatin1(text)) + 2 * margin + kSlack;
  };
  if (heading.contains("条码")) width = std::max(width, room_for(kLongestBarcode));
  if (heading.contains("时间") || heading.contains("日期")) {
    width = std::max(width, room_for(kFullDateTime));
  }
  auto fit_row = [&](int row) {
    const int cell = view_->sizeHintForIndex(model->index(row, column)).width() + kSlack;
    width = std::max(width, std::min(cell, kMaxFittedWidth));
  };
  const int rows = model->rowCount();
  for (int row = 0; row < std::min(rows, kSampledRows); ++row) fit_row(row);
  // The last row too: a query's "总计" row holds its widest numbers.
  if (rows > kSampledRows) fit_row(rows - 1);
  return width;
}

bool ListColumns::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:  // a double click on an edge fits the column
      user_resizing_ = true;
      break;
    case QEvent::MouseButtonRelease:
      user_resizing_ = false;
      if (changed_) Save();
      changed_ = false;
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void ListColumns::OnSectionResized(int column, int /*old_width*/, int new_width) {
  // Only the user's own widths are kept: fitting and restoring resize columns too, and so does
  // a last column that stretches with the window.
  if (!user_resizing_ || new_width <= 0) return;
  const QHeaderView* header = view_->horizontalHeader();
  if (header->stretchLastSection() && column == header->count() - 1) return;
  user_widths_.insert(column, new_width);
  changed_ = true;
}

void ListColumns::Save() const {
  const QAbstractItemModel* model = view_->model();
  const int count = model ? model->columnCount() : 0;
  QStringList widths;
  for (int column = 0; column < count; ++column) {
    widths.append(QString::number(user_widths_.value(column, 0)));
  }
  QSettings("Tillwise", "Tillwise").setValue(SettingsKey(list_name_), widths);
}

}  // namespace ui
