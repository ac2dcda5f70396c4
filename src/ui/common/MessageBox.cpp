#include "ui/common/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "core/common/error.h"
#include "core/store/database.h"

namespace ui {
namespace {

MessageBoxSeam* active_seam = nullptr;

}  // namespace

MessageBoxSeam::MessageBoxSeam() : previous_(active_seam) { active_seam = this; }

MessageBoxSeam::~MessageBoxSeam() { active_seam = previous_; }

std::vector<QString> MessageBoxSeam::Texts() const {
  std::vector<QString> texts;
  for (const ShownMessage& message : shown_) texts.push_back(message.text);
  return texts;
}

MessageBoxSeam* MessageBoxSeam::Active() { return active_seam; }

bool MessageBoxSeam::Record(const ShownMessage& message) {
  shown_.push_back(message);
  if (!message.question || answers_.empty()) return false;
  bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ShowMessage(QWidget* parent, const QString& text, const QString& title) {
  if (MessageBoxSeam* seam = MessageBoxSeam::Active()) {
    seam->Record({title, text, false});
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.setObjectName("messageBox");
  box.button(QMessageBox::Ok)->setText("确定");
  box.exec();
}

namespace {

bool Ask(QWidget* parent, const QString& text, const QString& title, bool default_no) {
  if (MessageBoxSeam* seam = MessageBoxSeam::Active()) {
    return seam->Record({title, text, true, default_no});
  }
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setObjectName("messageBox");
  box.button(QMessageBox::Yes)->setText("是");
  box.button(QMessageBox::No)->setText("否");
  box.setDefaultButton(default_no ? QMessageBox::No : QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool AskYesNo(QWidget* parent, const QString& text, const QString& title) {
  return Ask(parent, text, title, false);
}

bool AskYesNoDefaultNo(QWidget* parent, const QString& text) {
  return Ask(parent, text, QString("确认"), true);
}

QString ErrorText(const std::exception& error) {
  if (dynamic_cast<const common::UserError*>(&error)) return QString::fromStdString(error.what());
  if (dynamic_cast<const store::DbError*>(&error)) {
    return QString("数据库有误: %1").arg(QString::fromStdString(error.what()));
  }
  return QString("操作有误: %1").arg(QString::fromStdString(error.what()));
}

bool RunGuarded(QWidget* parent, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    ShowMessage(parent, ErrorText(error));
  } catch (...) {
    ShowMessage(parent, "操作有误");
  }
  return false;
}

}  // namespace ui
