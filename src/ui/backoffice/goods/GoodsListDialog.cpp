#include "ui/backoffice/goods/GoodsListDialog.h"

#include <QHeaderView>
#include <vector>

#include "core/app/main_menu.h"
#include "core/backoffice/goods/goods_master.h"
#include "core/common/error.h"
#include "core/store/database.h"
#include "ui/backoffice/goods/ClassTree.h"
#include "ui/backoffice/goods/GoodsEditDialog.h"
#include "ui/backoffice/goods/GoodsFileTransfer.h"
#include "ui/backoffice/goods/GoodsListModel.h"
#include "ui/common/ListColumns.h"
#include "ui/common/MessageBox.h"
#include "ui/common/SearchDialog.h"
#include "ui/labels/LabelPrinting.h"
#include "ui_GoodsListDialog.h"

namespace ui {

GoodsListDialog::GoodsListDialog(QWidget* parent, const QString& workno, Mode mode)
    : QDialog(parent),
      ui_(std::make_unique<Ui::GoodsListDialog>()),
      model_(new GoodsListModel(this)),
      workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setWindowState(windowState() | Qt::WindowMaximized);
  ui_->chooseButton->setVisible(mode == Mode::kPick);

  QTableView* table = ui_->goodsTable;
  table->setModel(model_);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (int column = 0; column < GoodsListModel::kColumnCount; ++column) {
    table->setColumnWidth(column, GoodsListModel::ColumnWidth(column));
  }
  ListColumns::FitAndRemember(table, "商品信息");
  ui_->listSplitter->setStretchFactor(1, 1);
  ui_->listSplitter->setSizes({160, 840});

  connect(ui_->classTree, &QTreeWidget::itemSelectionChanged, this, &GoodsListDialog::LoadRows);
  connect(ui_->addButton, &QPushButton::clicked, this, &GoodsListDialog::OnAdd);
  connect(ui_->modifyButton, &QPushButton::clicked, this, &GoodsListDialog::OnModify);
  connect(ui_->deleteButton, &QPushButton::clicked, this, &GoodsListDialog::OnDelete);
  connect(ui_->exportButton, &QPushButton::clicked, this, &GoodsListDialog::OnExport);
  connect(ui_->importButton, &QPushButton::clicked, this, &GoodsListDialog::OnImport);
  connect(ui_->labelButton, &QPushButton::clicked, this, &GoodsListDialog::OnLabelPrinting);
  connect(ui_->searchButton, &QPushButton::clicked, this, &GoodsListDialog::OnSearch);
  connect(ui_->chooseButton, &QPushButton::clicked, this, &GoodsListDialog::OnChoose);
  connect(ui_->exitButton, &QPushButton::clicked, this, &GoodsListDialog::reject);
  if (mode == Mode::kPick) {
    connect(table, &QTableView::doubleClicked, this, &GoodsListDialog::OnChoose);
  }

  Reload();
}

GoodsListDialog::~GoodsListDialog() = default;

std::optional<std::string> GoodsListDialog::PickGoods(QWidget* parent, const QString& workno) {
  if (!app::HasRight(workno.toStdString(), lookups::Right::kBaseInfo)) {
    ShowMessage(parent, "您没有这个权限");
    return std::nullopt;
  }
  GoodsListDialog picker(parent, workno, Mode::kPick);
  if (picker.exec() != QDialog::Accepted) return std::nullopt;
  return picker.chosenBarcode();
}

void GoodsListDialog::Reload() {
  FillClassTree(this, ui_->classTree, SelectedClass(ui_->classTree));
  LoadRows();
}

void GoodsListDialog::LoadRows() {
  std::vector<backoffice::GoodsListEntry> entries;
  try {
    entries = backoffice::LoadGoodsList(SelectedClass(ui_->classTree));
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
  }
  model_->SetEntries(std::move(entries));
  if (model_->rowCount() > 0) ui_->goodsTable->selectRow(0);
}

std::string GoodsListDialog::SelectedBarcode() const {
  const QModelIndexList rows = ui_->goodsTable->selectionModel()->selectedRows();
  if (rows.isEmpty()) return {};
  return model_->Entry(rows.front().row()).barcode;
}

void GoodsListDialog::OnAdd() {
  GoodsEditDialog editor(this, workno_);
  connect(&editor, &GoodsEditDialog::goodsSaved, this, &GoodsListDialog::Reload);
  editor.exec();
}

void GoodsListDialog::OnModify() {
  const std::string barcode = SelectedBarcode();
  if (barcode.empty()) {
    ShowMessage(this, "请选择要修改的商品");
    return;
  }
  GoodsEditDialog editor(this, workno_, QString::fromStdString(barcode));
  if (editor.exec() == QDialog::Accepted) Reload();
}

void GoodsListDialog::OnDelete() {
  const std::string barcode = SelectedBarcode();
  if (barcode.empty()) {
    ShowMessage(this, "请选择要删除的商品");
    return;
  }
  if (!AskYesNo(this, "真的要删除此商品吗?")) return;
  try {
    backoffice::DeleteGoods(barcode);
  } catch (const store::DbError&) {
    ShowMessage(this, "删除有误");
    return;
  }
  Reload();
}

void GoodsListDialog::OnExport() { ExportGoods(this); }

void GoodsListDialog::OnImport() {
  if (ImportGoods(this)) Reload();
}

void GoodsListDialog::OnLabelPrinting() { OpenLabelPrinting(this, workno_); }

void GoodsListDialog::OnSearch() {
  SearchDialog::Open(ui_->goodsTable, *model_,
                     {{"条码", GoodsListModel::kBarcode}, {"名称", GoodsListModel::kName}});
}

void GoodsListDialog::OnChoose() {
  const std::string barcode = SelectedBarcode();
  if (barcode.empty()) {
    ShowMessage(this, "请选择商品");
    return;
  }
  chosen_ = barcode;
  accept();
}

}  // namespace ui
