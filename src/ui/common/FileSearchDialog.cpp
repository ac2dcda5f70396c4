#include "ui/common/FileSearchDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/common/MessageBox.h"
#include "ui_FileSearchDialog.h"

namespace ui {

FileSearchDialog::FileSearchDialog(const QString& extension, QWidget* parent,
                                   const QStringList& roots)
    : QDialog(parent), ui_(std::make_unique<Ui::FileSearchDialog>()) {
  ui_->setupUi(this);
  tree_ = std::make_unique<FolderTree>(ui_->folderTree, roots, extension);
  connect(ui_->folderTree, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { tree_->Load(item); });
  connect(ui_->folderTree, &QTreeWidget::itemSelectionChanged, this,
          &FileSearchDialog::OnSelectionChanged);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &FileSearchDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &FileSearchDialog::reject);
}

FileSearchDialog::~FileSearchDialog() = default;

void FileSearchDialog::OnSelectionChanged() {
  QTreeWidgetItem* item = ui_->folderTree->currentItem();
  if (!item) return;
  if (!FolderTree::IsFile(item)) {
    tree_->Load(item);
    item->setExpanded(true);
  }
  ui_->fileNameEdit->setText(FolderTree::PathOf(item));
}

void FileSearchDialog::OnConfirm() {
  // The path may also have been typed.
  QString text = ui_->fileNameEdit->text().trimmed();
  QFileInfo file(QDir::cleanPath(text));
  if (!text.isEmpty() && file.isDir()) {
    ui::ShowMessage(this, "不能用文件夹恢复，请选择文件");
    return;
  }
  if (text.isEmpty() || !file.isAbsolute() || !file.isFile()) {
    ui::ShowMessage(this, "请选择文件");
    return;
  }
  chosen_ = file.absoluteFilePath();
  accept();
}

std::optional<QString> FileSearchDialog::ChooseFile(QWidget* parent, const QString& extension,
                                                    const QStringList& roots) {
  if (FileChooserSeam* seam = FileChooserSeam::Active()) {
    return seam->Answer({"文件搜索", extension, QString()});
  }
  FileSearchDialog dialog(extension, parent, roots);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosenPath();
}

}  // namespace ui
