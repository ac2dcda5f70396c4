#include "ui/reports/QueryResultModel.h"

#include <QElapsedTimer>

#include "core/common/error.h"

namespace ui {
namespace {

// One background slice: short enough that typing and scrolling never wait for it.
constexpr qint64 kSliceMs = 25;
constexpr std::size_t kRowsPerStep = 512;

}  // namespace

QueryResultModel::QueryResultModel(QObject* parent) : QAbstractTableModel(parent) {
  fill_timer_.setInterval(0);
  connect(&fill_timer_, &QTimer::timeout, this, &QueryResultModel::FillSlice);
}

QueryResultModel::~QueryResultModel() = default;

const reports::QueryResult& QueryResultModel::result() const {
  return cursor_ ? cursor_->result() : result_;
}

void QueryResultModel::SetResult(reports::QueryResult result) {
  beginResetModel();
  fill_timer_.stop();
  cursor_.reset();
  result_ = std::move(result);
  shown_rows_ = static_cast<int>(result_.RowCount());
  endResetModel();
}

void QueryResultModel::Start(std::unique_ptr<reports::QueryCursor> cursor) {
  beginResetModel();
  fill_timer_.stop();
  result_ = {};
  cursor_ = std::move(cursor);
  shown_rows_ = 0;
  endResetModel();
  try {
    Read(kFirstScreenRows, false);
  } catch (...) {
    SetResult({});
    throw;
  }
  if (cursor_) fill_timer_.start();
}

void QueryResultModel::FetchAll() {
  if (cursor_) Read(0, true);
}

void QueryResultModel::Read(std::size_t rows, bool whole) {
  if (!cursor_) return;
  try {
    if (whole) {
      cursor_->FetchAll();
    } else {
      cursor_->Fetch(rows);
    }
  } catch (...) {
    // The rows read so far are shown; no totals follow them.
    fill_timer_.stop();
    result_ = cursor_->TakeResult();
    cursor_.reset();
    const int read = static_cast<int>(result_.ResultRows());
    if (read > shown_rows_) {
      beginInsertRows({}, shown_rows_, read - 1);
      shown_rows_ = read;
      endInsertRows();
    }
    throw;
  }
  const reports::QueryResult& now = cursor_->result();
  const bool done = cursor_->done();
  const int read = static_cast<int>(now.ResultRows()) + (done ? 1 : 0);
  if (done) {
    fill_timer_.stop();
    result_ = cursor_->TakeResult();
    cursor_.reset();
  }
  if (read > shown_rows_) {
    beginInsertRows({}, shown_rows_, read - 1);
    shown_rows_ = read;
    endInsertRows();
  }
}

void QueryResultModel::FillSlice() {
  QElapsedTimer slice;
  slice.start();
  try {
    while (cursor_ && !slice.hasExpired(kSliceMs)) Read(kRowsPerStep, false);
  } catch (const std::exception& error) {
    emit FillFailed(QString::fromUtf8(error.what()));
  }
}

bool QueryResultModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && cursor_ != nullptr;
}

void QueryResultModel::fetchMore(const QModelIndex& parent) {
  if (!parent.isValid()) FillSlice();
}

int QueryResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_rows_;
}

int QueryResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(result().ColumnCount());
}

QVariant QueryResultModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  const auto row = static_cast<std::size_t>(index.row());
  const auto column = static_cast<std::size_t>(index.column());
  const reports::QueryResult& shown = result();
  if (role == Qt::DisplayRole) return QString::fromStdString(shown.Text(row, column));
  if (role == Qt::TextAlignmentRole) {
    const bool right = shown.columns()[column].align == reports::Align::kRight;
    return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignHCenter));
  }
  return {};
}

QVariant QueryResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < columnCount()) {
    return QString::fromStdString(result().columns()[static_cast<std::size_t>(section)].title);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace ui
