#include "ui/sale/IdleLock.h"

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "core/app/login.h"
#include "core/settings/settings.h"

namespace ui {
namespace {

constexpr int kMillisecondsPerMinute = 60 * 1000;

int IdleMinutes() {
  try {
    store::Database db;
    return settings::LoadSettings(db).idle_lock_minutes;
  } catch (const std::exception&) {
    return 10;
  }
}

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

}  // namespace

IdleLock::IdleLock(QWidget* screen, const QString& cashier)
    : QObject(screen),
      screen_(screen),
      cashier_(cashier),
      cover_(new QWidget(screen)),
      account_(new QLineEdit(cover_)),
      password_(new QLineEdit(cover_)),
      message_(new QLabel(cover_)) {
  cover_->setObjectName("idleLockCover");
  cover_->setAutoFillBackground(true);
  cover_->setStyleSheet("#idleLockCover { background: #1b4f72; } QLabel { color: white; }");
  account_->setObjectName("unlockAccountEdit");
  password_->setObjectName("unlockPasswordEdit");
  password_->setEchoMode(QLineEdit::Password);
  message_->setObjectName("unlockMessageLabel");
  auto* title = new QLabel("收银台已锁定, 请输入密码继续", cover_);
  QFont big = title->font();
  big.setPixelSize(24);
  title->setFont(big);
  auto* unlock = new QPushButton("解锁", cover_);
  unlock->setObjectName("unlockButton");

  auto* fields = new QFormLayout;
  fields->addRow("账号", account_);
  fields->addRow("密码", password_);
  auto* box = new QWidget(cover_);
  box->setMaximumWidth(360);
  auto* column = new QVBoxLayout(box);
  column->addWidget(title, 0, Qt::AlignHCenter);
  column->addLayout(fields);
  column->addWidget(message_, 0, Qt::AlignHCenter);
  column->addWidget(unlock, 0, Qt::AlignHCenter);
  auto* outer = new QVBoxLayout(cover_);
  outer->addStretch();
  outer->addWidget(box, 0, Qt::AlignHCenter);
  outer->addStretch();
  cover_->hide();

  connect(unlock, &QPushButton::clicked, this, &IdleLock::OnUnlock);
  connect(password_, &QLineEdit::returnPressed, this, &IdleLock::OnUnlock);
  connect(account_, &QLineEdit::returnPressed, password_, qOverload<>(&QWidget::setFocus));
  idle_.setSingleShot(true);
  connect(&idle_, &QTimer::timeout, this, &IdleLock::OnIdle);
  SetIdleInterval(IdleMinutes() * kMillisecondsPerMinute);
  qApp->installEventFilter(this);
  screen_->installEventFilter(this);
}

IdleLock::~IdleLock() { qApp->removeEventFilter(this); }

bool IdleLock::IsLocked() const { return cover_->isVisible(); }

void IdleLock::SetIdleInterval(int milliseconds) {
  idle_.stop();
  if (milliseconds <= 0) return;
  idle_.setInterval(milliseconds);
  idle_.start();
}

void IdleLock::Lock() {
  idle_.stop();
  cover_->setGeometry(screen_->rect());
  account_->setText(cashier_);
  password_->clear();
  message_->clear();
  cover_->show();
  cover_->raise();
  password_->setFocus();
}

void IdleLock::OnIdle() {
  // A dialog above the screen would sit on top of the cover and take no input: wait for it.
  if (QApplication::activeModalWidget() != screen_ && QApplication::activeModalWidget()) {
    idle_.start();
    return;
  }
  Lock();
}

void IdleLock::OnUnlock() {
  const std::string account = account_->text().trimmed().toStdString();
  switch (app::UnlockTill(cashier_.toStdString(), account, password_->text().toStdString())) {
    case app::LoginResult::kAccepted:
      cover_->hide();
      if (idle_.interval() > 0) idle_.start();
      return;
    case app::LoginResult::kThrottled:
      message_->setText(
          QString("密码错误次数过多, 请 %1 秒后再试").arg(app::LoginWaitSeconds(account)));
      break;
    default:
      message_->setText("密码有误");
      break;
  }
  password_->clear();
  password_->setFocus();
}

bool IdleLock::IsOnCover(QObject* object) const {
  for (QObject* o = object; o; o = o->parent()) {
    if (o == cover_) return true;
  }
  return false;
}

bool IdleLock::eventFilter(QObject* watched, QEvent* event) {
  if (watched == screen_ && event->type() == QEvent::Resize && IsLocked()) {
    cover_->setGeometry(screen_->rect());
  }
  if (!IsInput(event->type())) return QObject::eventFilter(watched, event);
  if (IsLocked()) {
    // Nothing but the cover takes input: a key the cover does not use (Esc, a function key)
    // must not travel on to the screen beneath.
    bool on_screen = false;
    for (QObject* o = watched; o; o = o->parent()) on_screen = on_screen || o == screen_;
    return on_screen && !IsOnCover(watched);
  }
  if (idle_.interval() > 0 && idle_.isActive()) idle_.start();
  return QObject::eventFilter(watched, event);
}

}  // namespace ui
