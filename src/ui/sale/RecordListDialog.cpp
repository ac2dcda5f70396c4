#include "ui/sale/RecordListDialog.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>

#include "core/common/error.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui_RecordListDialog.h"

namespace ui {
namespace {

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

// The chooser's rows as a read-only table; a model, so thousands of past sales open at once.
class RecordListModel : public QAbstractTableModel {
 public:
  RecordListModel(const sale::RecordList& list, QObject* parent)
      : QAbstractTableModel(parent), list_(list) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(list_.rows.size());
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(list_.columns.size());
  }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
      return {};
    }
    auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole) {
      const auto& row = list_.rows[static_cast<std::size_t>(index.row())];
      return column < row.size() ? ToQString(row[column]) : QString();
    }
    if (role == Qt::TextAlignmentRole) {
      return QVariant::fromValue(
          Qt::AlignVCenter |
          (list_.columns[column].right_aligned ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return ToQString(list_.columns[static_cast<std::size_t>(section)].caption);
  }

 private:
  const sale::RecordList& list_;
};

}  // namespace

RecordListDialog::RecordListDialog(QWidget* parent, const QString& mode, sale::RecordList list)
    : QDialog(parent),
      ui_(std::make_unique<Ui::RecordListDialog>()),
      mode_(mode),
      list_(std::move(list)) {
  ui_->setupUi(this);
  ui_->recordTable->setModel(new RecordListModel(list_, this));
  for (std::size_t column = 0; column < list_.columns.size(); ++column) {
    ui_->recordTable->setColumnWidth(static_cast<int>(column), list_.columns[column].width);
  }
  ui_->recordTable->horizontalHeader()->setStretchLastSection(true);
  ListColumns::FitAndRemember(ui_->recordTable, "选择/" + mode_);
  connect(ui_->okButton, &QPushButton::clicked, this, &RecordListDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &RecordListDialog::reject);
  SelectRow(0);
  ui_->recordTable->setFocus();
}

RecordListDialog::~RecordListDialog() = default;

bool RecordListDialog::SelectRow(int row) {
  if (row < 0 || row >= static_cast<int>(list_.rows.size())) return false;
  QModelIndex index = ui_->recordTable->model()->index(row, 0);
  ui_->recordTable->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ui_->recordTable->scrollTo(index);
  return true;
}

void RecordListDialog::OnConfirm() {
  QModelIndexList selected = ui_->recordTable->selectionModel()->selectedRows();
  if (selected.isEmpty()) {
    ui::ShowMessage(this, "请选择记录");
    ui_->recordTable->setFocus();
    return;
  }
  key_ = list_.keys[static_cast<std::size_t>(selected.front().row())];
  accept();
}

namespace {

// Loads a list and runs the chooser over it; nothing when the list cannot be read (its
// message is shown) or the chooser is cancelled.
template <typename Load>
std::optional<std::string> LoadAndChoose(QWidget* parent, std::string_view mode, Load&& load) {
  sale::RecordList list;
  try {
    list = load();
  } catch (const common::UserError& error) {
    ui::ShowMessage(parent, QString::fromUtf8(error.what()));
    return std::nullopt;
  }
  RecordListDialog dialog(
      parent, QString::fromUtf8(mode.data(), static_cast<qsizetype>(mode.size())), std::move(list));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.key();
}

}  // namespace

std::optional<std::string> RecordListDialog::Choose(QWidget* parent, std::string_view mode) {
  return LoadAndChoose(parent, mode, [mode] { return sale::LoadRecordList(mode); });
}

std::optional<std::string> RecordListDialog::ChooseStocktake(QWidget* parent,
                                                             const std::string& start,
                                                             const std::string& end) {
  return LoadAndChoose(parent, sale::kStocktakesMode,
                       [&] { return sale::LoadStocktakeList(start, end); });
}

std::optional<std::int64_t> RecordListDialog::ChooseNumber(QWidget* parent, std::string_view mode) {
  std::optional<std::string> key = Choose(parent, mode);
  if (!key) return std::nullopt;
  return sale::RecordKeyNumber(*key);
}

}  // namespace ui
