#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

class QEvent;
class QObject;

namespace Ui {
class GoodsQuantityDialog;
}

namespace ui {

// What one kind of barcode-and-quantity entry loads and saves: the component editor's kind
// and the stocktake's count are below.
class GoodsQuantityKind {
 public:
  struct Line {
    QString name;
    QString quantity;  // what the quantity field shows; empty for a new line
  };

  virtual ~GoodsQuantityKind() = default;
  // The line of a barcode typed or picked. Throws common::UserError with the refusal.
  virtual Line Load(const std::string& barcode) = 0;
  // Stores the quantity. Throws common::ValidationError naming "barcode" or "quantity".
  virtual void Save(const std::string& barcode, const std::string& quantity) = 0;
};

// The kind "组合商品": one component of the combined goods being edited.
class ComponentQuantityKind : public GoodsQuantityKind {
 public:
  explicit ComponentQuantityKind(std::string combined_barcode)
      : combined_barcode_(std::move(combined_barcode)) {}
  Line Load(const std::string& barcode) override;
  void Save(const std::string& barcode, const std::string& quantity) override;

 private:
  std::string combined_barcode_;
};

// The kind "盘点": the counted quantity of one goods on the open stocktake.
class StocktakeQuantityKind : public GoodsQuantityKind {
 public:
  Line Load(const std::string& barcode) override;
  void Save(const std::string& barcode, const std::string& quantity) override;
  // The barcode of the last count stored, so the stocktake can show that row again.
  const std::string& lastSaved() const { return last_saved_; }

 private:
  std::string last_saved_;
};

// "商品": enters one barcode with its quantity through a kind. Enter on the barcode loads its
// line and moves to the quantity, Enter on the quantity moves to "确认", Enter on "确认" asks
// "保存?"; "..." picks the barcode from the goods list (right "baseinfo"). A new entry stays
// open after each save with its fields emptied; a modify entry has its barcode fixed and closes
// after the save.
class GoodsQuantityDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(GoodsQuantityDialog)

 public:
  // New entries. workno is the operator, for the picker's right check. kind must outlive the
  // dialog.
  GoodsQuantityDialog(QWidget* parent, GoodsQuantityKind& kind, const QString& workno);
  // Modifies the line of barcode.
  GoodsQuantityDialog(QWidget* parent, GoodsQuantityKind& kind, const QString& workno,
                      const QString& barcode);
  ~GoodsQuantityDialog() override;

 signals:
  // A line was stored; the screen behind reloads its list.
  void saved();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUp();
  // Loads the line of the barcode field; false (after the message) when it is refused.
  bool LoadLine();
  void OnPick();
  void OnConfirm();

  std::unique_ptr<Ui::GoodsQuantityDialog> ui_;
  GoodsQuantityKind& kind_;
  QString workno_;
  bool modify_mode_ = false;
};

}  // namespace ui
