#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class LabelSizeDialog;
}

namespace ui {

// "标签尺寸": the label's width and height in mm. "确认" closes only for a size the designer
// can lay out, otherwise says why and puts the focus back on the field at fault.
class LabelSizeDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LabelSizeDialog)

 public:
  LabelSizeDialog(QWidget* parent, int width_mm, int height_mm);
  ~LabelSizeDialog() override;

  int widthMm() const { return width_; }
  int heightMm() const { return height_; }

 private:
  void OnConfirm();

  std::unique_ptr<Ui::LabelSizeDialog> ui_;
  int width_;
  int height_;
};

}  // namespace ui
