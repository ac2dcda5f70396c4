#include "ui/backoffice/goods/CombinedGoodsDialog.h"

#include <QTableWidgetItem>
#include <vector>

#include "core/backoffice/goods/combined_goods.h"
#include "core/backoffice/goods/goods_master.h"
#include "core/store/database.h"
#include "ui/backoffice/goods/GoodsQuantityDialog.h"
#include "ui/common/MessageBox.h"
#include "ui_CombinedGoodsDialog.h"

namespace ui {
namespace {

enum Column { kBarcodeColumn, kNameColumn, kQuantityColumn };

QTableWidgetItem* Cell(const std::string& text, bool right = false) {
  auto* item = new QTableWidgetItem(QString::fromStdString(text));
  item->setTextAlignment(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
  return item;
}

}  // namespace

CombinedGoodsDialog::CombinedGoodsDialog(QWidget* parent, const QString& workno,
                                         const QString& combined_barcode)
    : QDialog(parent),
      ui_(std::make_unique<Ui::CombinedGoodsDialog>()),
      workno_(workno),
      combined_barcode_(combined_barcode.toStdString()) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  QTableWidget* table = ui_->componentTable;
  table->setColumnWidth(kBarcodeColumn, 120);
  table->setColumnWidth(kNameColumn, 200);
  table->setColumnWidth(kQuantityColumn, 100);
  connect(ui_->addButton, &QPushButton::clicked, this, &CombinedGoodsDialog::OnAdd);
  connect(ui_->modifyButton, &QPushButton::clicked, this, &CombinedGoodsDialog::OnModify);
  connect(ui_->deleteButton, &QPushButton::clicked, this, &CombinedGoodsDialog::OnDelete);
  connect(ui_->exitButton, &QPushButton::clicked, this, &CombinedGoodsDialog::reject);
  Reload();
}

CombinedGoodsDialog::~CombinedGoodsDialog() = default;

void CombinedGoodsDialog::Reload() {
  std::vector<backoffice::ComponentRow> rows;
  try {
    rows = backoffice::LoadComponents();
  } catch (const store::DbError&) {
    ShowMessage(this, "商品有误");
  }
  QTableWidget* table = ui_->componentTable;
  table->clearSelection();
  table->setRowCount(0);
  table->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < table->rowCount(); ++row) {
    const backoffice::ComponentRow& component = rows[static_cast<size_t>(row)];
    table->setItem(row, kBarcodeColumn, Cell(component.barcode));
    table->setItem(row, kNameColumn, Cell(component.goodsname));
    table->setItem(row, kQuantityColumn, Cell(backoffice::QuantityText(component.quantity), true));
  }
}

std::string CombinedGoodsDialog::SelectedBarcode() const {
  const QModelIndexList rows = ui_->componentTable->selectionModel()->selectedRows();
  if (rows.isEmpty()) return {};
  return rows.front().data().toString().toStdString();
}

void CombinedGoodsDialog::OnAdd() {
  ComponentQuantityKind kind(combined_barcode_);
  GoodsQuantityDialog entry(this, kind, workno_);
  connect(&entry, &GoodsQuantityDialog::saved, this, &CombinedGoodsDialog::Reload);
  entry.exec();
  Reload();
}

void CombinedGoodsDialog::OnModify() {
  const std::string barcode = SelectedBarcode();
  if (barcode.empty()) {
    ShowMessage(this, "请选择要修改的记录");
    return;
  }
  ComponentQuantityKind kind(combined_barcode_);
  GoodsQuantityDialog entry(this, kind, workno_, QString::fromStdString(barcode));
  entry.exec();
  Reload();
}

void CombinedGoodsDialog::OnDelete() {
  const std::string barcode = SelectedBarcode();
  if (barcode.empty()) {
    ShowMessage(this, "请选择要删除的记录");
    return;
  }
  try {
    backoffice::DeleteComponent(barcode);
  } catch (const store::DbError&) {
    ShowMessage(this, "删除有误");
    return;
  }
  Reload();
}

}  // namespace ui
