#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class FolderDialog;
}

namespace ui {

// ---- Shared by the two file choosers (FolderDialog, FileSearchDialog) ----

// Where the choosers start: the file-system root, the home folder and every mounted medium
// under /media, /run/media and /mnt.
QStringList FileChooserRoots();

// The writable media the desktop mounted under /media and /run/media (USB sticks, memory cards).
QStringList RemovableMedia();

// While a seam exists no chooser opens: each ChooseTarget / ChooseFile takes the next queued
// answer (cancel when the queue is empty) and records what it was asked. Seams nest; the
// newest one answers.
class FileChooserSeam {
 public:
  struct Request {
    QString title;     // "文件管理" or "文件搜索"
    QString proposal;  // the default file name, or the extension searched for
    QString start;     // the folder the chooser opens on; empty for none
  };

  FileChooserSeam();
  ~FileChooserSeam();
  FileChooserSeam(const FileChooserSeam&) = delete;
  FileChooserSeam& operator=(const FileChooserSeam&) = delete;

  void SetNextAnswer(std::optional<QString> path) { answers_.push_back(std::move(path)); }
  const std::vector<Request>& requests() const { return requests_; }

  static FileChooserSeam* Active();
  // Records one request and answers it.
  std::optional<QString> Answer(const Request& request);

 private:
  std::vector<Request> requests_;
  std::deque<std::optional<QString>> answers_;
  FileChooserSeam* previous_;
};

// The folder tree both choosers show under "搜索范围". Folders load their entries the first
// time they are selected or opened; with an extension, files ending in "." + extension are
// listed under their folder too (several extensions are separated by blanks: "xlsx ods xls").
class FolderTree {
 public:
  FolderTree(QTreeWidget* tree, const QStringList& roots, QString extension = QString());

  // Adds a folder as the first root.
  QTreeWidgetItem* AddRoot(const QString& path) const;
  // Lists the folder's sub-folders (and matching files) once.
  void Load(QTreeWidgetItem* item) const;
  static QString PathOf(const QTreeWidgetItem* item);
  static bool IsFile(const QTreeWidgetItem* item);

 private:
  QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const QString& path,
                             const QString& label) const;

  QTreeWidget* tree_;
  QString extension_;
};

// ---- FolderDialog ----

// "文件管理": chooses where a new file goes. Selecting a folder proposes that folder plus the
// default name for the caller's format and purpose in "文件名称"; the name may be edited
// there. "确认" returns the path shown, "取消" nothing.
class FolderDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FolderDialog)

 public:
  FolderDialog(const QString& format, const QString& purpose, QWidget* parent = nullptr,
               const QStringList& roots = FileChooserRoots());
  ~FolderDialog() override;

  const QString& defaultName() const { return default_name_; }
  // The path to write, once the dialog was confirmed.
  const QString& chosenPath() const { return chosen_; }

  // Opens on the folder: selects it (listed first when it lies under none of the roots), so
  // "文件名称" proposes the default name there and "确认" alone takes it.
  void StartAt(const QString& folder);

  // Runs the dialog (or the seam), opened on start when that is a folder: the target path, or
  // nullopt when cancelled.
  static std::optional<QString> ChooseTarget(QWidget* parent, const QString& format,
                                             const QString& purpose,
                                             const QString& start = QString());

 private:
  void OnSelectionChanged();
  void OnConfirm();

  std::unique_ptr<Ui::FolderDialog> ui_;
  std::unique_ptr<FolderTree> tree_;
  QString default_name_;
  QString chosen_;
};

}  // namespace ui
