#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "ui/common/FolderDialog.h"

namespace Ui {
class FileSearchDialog;
}

namespace ui {

// "文件搜索": chooses an existing file. Selecting a folder lists its sub-folders and the files
// ending in "." + extension under it and shows its path in "文件名"; "确认" on a folder is
// refused with "不能用文件夹恢复，请选择文件", on a file it returns that file.
class FileSearchDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FileSearchDialog)

 public:
  explicit FileSearchDialog(const QString& extension, QWidget* parent = nullptr,
                            const QStringList& roots = FileChooserRoots());
  ~FileSearchDialog() override;

  // The file chosen, once the dialog was confirmed.
  const QString& chosenPath() const { return chosen_; }

  // Runs the dialog (or the seam) over the given roots: the chosen file, or nullopt when
  // cancelled.
  static std::optional<QString> ChooseFile(QWidget* parent, const QString& extension,
                                           const QStringList& roots = FileChooserRoots());

 private:
  void OnSelectionChanged();
  void OnConfirm();

  std::unique_ptr<Ui::FileSearchDialog> ui_;
  std::unique_ptr<FolderTree> tree_;
  QString chosen_;
};

}  // namespace ui
