#include "ui/common/FolderDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "ui/common/MessageBox.h"
#include "ui_FolderDialog.h"

namespace ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;
constexpr int kFileRole = Qt::UserRole + 2;

FileChooserSeam* active_seam = nullptr;

}  // namespace

QStringList FileChooserRoots() {
  QStringList roots = {"/", QDir::homePath()};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    QString path = volume.rootPath();
    bool media =
        path.startsWith("/media/") || path.startsWith("/run/media/") || path.startsWith("/mnt/");
    if (media && volume.isReady() && !roots.contains(path)) roots.append(path);
  }
  return roots;
}

QStringList RemovableMedia() {
  QStringList media;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    QString path = volume.rootPath();
    if ((path.startsWith("/media/") || path.startsWith("/run/media/")) && volume.isReady() &&
        !volume.isReadOnly()) {
      media.append(path);
    }
  }
  return media;
}

FileChooserSeam::FileChooserSeam() : previous_(active_seam) { active_seam = this; }

FileChooserSeam::~FileChooserSeam() { active_seam = previous_; }

FileChooserSeam* FileChooserSeam::Active() { return active_seam; }

std::optional<QString> FileChooserSeam::Answer(const Request& request) {
  requests_.push_back(request);
  if (answers_.empty()) return std::nullopt;
  // Copied out by value: GCC's optimiser misreads a copied optional<QString> as uninitialised.
  const bool chosen = answers_.front().has_value();
  const QString path = chosen ? *answers_.front() : QString();
  answers_.pop_front();
  if (!chosen) return std::nullopt;
  return path;
}

FolderTree::FolderTree(QTreeWidget* tree, const QStringList& roots, QString extension)
    : tree_(tree), extension_(std::move(extension)) {
  tree_->clear();
  for (const QString& root : roots) {
    if (QFileInfo(root).isDir()) AddFolder(nullptr, QDir::cleanPath(root), root);
  }
}

QTreeWidgetItem* FolderTree::AddRoot(const QString& path) const {
  QTreeWidgetItem* item = AddFolder(nullptr, path, path);
  tree_->insertTopLevelItem(0, tree_->takeTopLevelItem(tree_->indexOfTopLevelItem(item)));
  return item;
}

QTreeWidgetItem* FolderTree::AddFolder(QTreeWidgetItem* parent, const QString& path,
                                       const QString& label) const {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
  item->setText(0, label);
  item->setIcon(0, tree_->style()->standardIcon(QStyle::SP_DirIcon));
  item->setData(0, kPathRole, path);
  // Until the folder is read its entries are unknown; the arrow lets it be opened.
  item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return item;
}

void FolderTree::Load(QTreeWidgetItem* item) const {
  if (!item || IsFile(item) || item->data(0, kLoadedRole).toBool()) return;
  item->setData(0, kLoadedRole, true);
  QDir folder(PathOf(item));
  const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
  for (const QFileInfo& entry : folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, order)) {
    AddFolder(item, entry.absoluteFilePath(), entry.fileName());
  }
  if (!extension_.isEmpty()) {
    QStringList patterns;
    for (const QString& extension : extension_.split(' ', Qt::SkipEmptyParts)) {
      patterns.append("*." + extension);
    }
    for (const QFileInfo& entry : folder.entryInfoList(patterns, QDir::Files, order)) {
      auto* file = new QTreeWidgetItem(item);
      file->setText(0, entry.fileName());
      file->setIcon(0, tree_->style()->standardIcon(QStyle::SP_FileIcon));
      file->setData(0, kPathRole, entry.absoluteFilePath());
      file->setData(0, kFileRole, true);
    }
  }
  item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QString FolderTree::PathOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, kPathRole).toString() : QString();
}

bool FolderTree::IsFile(const QTreeWidgetItem* item) {
  return item && item->data(0, kFileRole).toBool();
}

FolderDialog::FolderDialog(const QString& format, const QString& purpose, QWidget* parent,
                           const QStringList& roots)
    : QDialog(parent),
      ui_(std::make_unique<Ui::FolderDialog>()),
      default_name_(QString::fromStdString(
          app::DefaultFileName(format.toStdString(), purpose.toStdString(), common::Now()))) {
  ui_->setupUi(this);
  tree_ = std::make_unique<FolderTree>(ui_->folderTree, roots);
  connect(ui_->folderTree, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { tree_->Load(item); });
  connect(ui_->folderTree, &QTreeWidget::itemSelectionChanged, this,
          &FolderDialog::OnSelectionChanged);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &FolderDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &FolderDialog::reject);
}

FolderDialog::~FolderDialog() = default;

void FolderDialog::StartAt(const QString& folder) {
  if (!QFileInfo(folder).isDir()) return;
  const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  QTreeWidget* tree = ui_->folderTree;
  QTreeWidgetItem* item = nullptr;
  for (int i = 0; i < tree->topLevelItemCount() && !item; ++i) {
    if (FolderTree::PathOf(tree->topLevelItem(i)) == path) item = tree->topLevelItem(i);
  }
  // Listed first as a root of its own, rather than deep down the tree under "/".
  if (!item) item = tree_->AddRoot(path);
  tree->setCurrentItem(item);
}

void FolderDialog::OnSelectionChanged() {
  QTreeWidgetItem* item = ui_->folderTree->currentItem();
  if (!item) return;
  tree_->Load(item);
  item->setExpanded(true);
  ui_->fileNameEdit->setText(QDir(FolderTree::PathOf(item)).filePath(default_name_));
}

void FolderDialog::OnConfirm() {
  QString text = ui_->fileNameEdit->text().trimmed();
  if (text.isEmpty()) {
    ui::ShowMessage(this, "请选择文件夹");
    return;
  }
  QFileInfo target(QDir::cleanPath(text));
  // The name may have been edited: it must name a file in a folder that exists.
  if (!target.isAbsolute() || target.isDir() || target.fileName().isEmpty() ||
      !target.dir().exists()) {
    ui::ShowMessage(this, "文件名称有误");
    return;
  }
  chosen_ = target.absoluteFilePath();
  accept();
}

std::optional<QString> FolderDialog::ChooseTarget(QWidget* parent, const QString& format,
                                                  const QString& purpose, const QString& start) {
  if (FileChooserSeam* seam = FileChooserSeam::Active()) {
    QString name = QString::fromStdString(
        app::DefaultFileName(format.toStdString(), purpose.toStdString(), common::Now()));
    return seam->Answer({"文件管理", name, start});
  }
  FolderDialog dialog(format, purpose, parent);
  if (!start.isEmpty()) dialog.StartAt(start);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosenPath();
}

}  // namespace ui
