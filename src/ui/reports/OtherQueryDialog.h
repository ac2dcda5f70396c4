#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

namespace Ui {
class OtherQueryDialog;
}

namespace ui {

// "其他查询": six buttons, each closing the dialog with its own caption ("进货查询", "返厂查询",
// "盘点查询", "储值查询", "会员消费查询", "积分回馈查询"); "退出" chooses nothing.
class OtherQueryDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(OtherQueryDialog)

 public:
  explicit OtherQueryDialog(QWidget* parent = nullptr);
  ~OtherQueryDialog() override;

  const QString& chosen() const { return chosen_; }

  // Runs the dialog: the caption of the button pressed, nothing for "退出".
  static std::optional<QString> Choose(QWidget* parent);

 private:
  std::unique_ptr<Ui::OtherQueryDialog> ui_;
  QString chosen_;
};

}  // namespace ui
