#pragma once

#include <QString>
#include <deque>
#include <exception>
#include <functional>
#include <vector>

class QWidget;

namespace ui {

// The program's one way to tell or ask the user something: a modal box, titled "确认" unless
// a title is given.
void ShowMessage(QWidget* parent, const QString& text, const QString& title = QString("确认"));

// A Yes/No question; true for Yes.
bool AskYesNo(QWidget* parent, const QString& text, const QString& title = QString("确认"));

// A Yes/No question whose default button (the one Enter presses) is No: for questions where
// an unthinking Enter must change nothing.
bool AskYesNoDefaultNo(QWidget* parent, const QString& text);

// The message for an error a core operation threw: a common::UserError's own text, "数据库有误:"
// with the reason for a database failure, "操作有误:" with the reason for anything else.
QString ErrorText(const std::exception& error);

// Runs a screen handler that calls core and shows whatever it throws (ErrorText in a box titled
// "确认"), so no error escapes into Qt's event loop. False when the handler threw.
bool RunGuarded(QWidget* parent, const std::function<void()>& handler);

struct ShownMessage {
  QString title;
  QString text;
  bool question = false;
  bool default_no = false;  // a question whose default button is No
};

// While a seam exists no box opens: every message is recorded, and each question takes the
// next queued answer (No when the queue is empty). Seams nest; the newest one records.
class MessageBoxSeam {
 public:
  MessageBoxSeam();
  ~MessageBoxSeam();
  MessageBoxSeam(const MessageBoxSeam&) = delete;
  MessageBoxSeam& operator=(const MessageBoxSeam&) = delete;

  void SetNextAnswer(bool yes) { answers_.push_back(yes); }
  const std::vector<ShownMessage>& shown() const { return shown_; }
  // The texts shown so far, oldest first.
  std::vector<QString> Texts() const;
  void Clear() { shown_.clear(); }

  // The seam in force, or nullptr when boxes are real.
  static MessageBoxSeam* Active();
  // Records one box and answers it.
  bool Record(const ShownMessage& message);

 private:
  std::vector<ShownMessage> shown_;
  std::deque<bool> answers_;
  MessageBoxSeam* previous_;
};

}  // namespace ui
