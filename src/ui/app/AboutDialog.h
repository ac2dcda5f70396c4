#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutDialog;
}

namespace ui {

// The program's name and version, with one "确定" button.
class AboutDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(AboutDialog)

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
  ~AboutDialog() override;

 private:
  std::unique_ptr<Ui::AboutDialog> ui_;
};

}  // namespace ui
