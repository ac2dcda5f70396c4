#include "ui/app/LoginDialog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "core/app/startup.h"
#include "core/store/database.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/AuthorizationDialog.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/app/RestoreDatabase.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Version.h"
#include "ui_LoginDialog.h"

namespace ui {
namespace {

constexpr const char* kProgramTitle = "Tillwise";

// The program's mark: a rounded square with a receipt coming out of a till.
void DrawMark(QPainter& p, const QRectF& area) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient face(area.topLeft(), area.bottomRight());
  face.setColorAt(0.0, QColor(0xf5, 0xb0, 0x41));
  face.setColorAt(1.0, QColor(0xe6, 0x7e, 0x22));
  p.setPen(Qt::NoPen);
  p.setBrush(face);
  p.drawRoundedRect(area, area.width() * 0.2, area.height() * 0.2);

  p.translate(area.topLeft());
  p.scale(area.width() / 100.0, area.height() / 100.0);
  p.setBrush(Qt::white);
  QPainterPath receipt;
  receipt.moveTo(34, 16);
  receipt.lineTo(66, 16);
  receipt.lineTo(66, 50);
  receipt.lineTo(34, 50);
  receipt.closeSubpath();
  p.drawPath(receipt);
  p.setPen(QPen(QColor(0xe6, 0x7e, 0x22), 4));
  p.drawLine(QPointF(41, 27), QPointF(59, 27));
  p.drawLine(QPointF(41, 37), QPointF(55, 37));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1b, 0x4f, 0x72));
  p.drawRoundedRect(QRectF(18, 46, 64, 38), 6, 6);
  p.setBrush(QColor(0xf5, 0xb0, 0x41));
  p.drawRect(QRectF(28, 56, 44, 6));
  p.restore();
}

QIcon ProgramIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  DrawMark(p, QRectF(2, 2, 60, 60));
  return QIcon(pixmap);
}

void DrawBanner(QPainter& p, const QRect& area) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(area.topLeft(), area.topRight());
  sky.setColorAt(0.0, QColor(0x1b, 0x4f, 0x72));
  sky.setColorAt(1.0, QColor(0x2e, 0x86, 0xc1));
  p.fillRect(area, sky);
  p.fillRect(QRect(area.left(), area.bottom() - 2, area.width(), 3), QColor(0xf0, 0xa5, 0x30));

  // Soft rings on the right give the band some depth.
  p.setPen(QPen(QColor(255, 255, 255, 30), 10));
  p.setBrush(Qt::NoBrush);
  QPointF centre(area.right() - 40, area.center().y());
  for (int ring = 1; ring <= 3; ++ring) p.drawEllipse(centre, 30.0 * ring, 30.0 * ring);

  double side = area.height() - 36;
  DrawMark(p, QRectF(area.left() + 28, area.top() + 18, side, side));

  QFont title = p.font();
  title.setPixelSize(32);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  QRectF text_area(area.left() + 28 + side + 18, area.top() + 16, area.width() / 2.0, 40);
  p.drawText(text_area, Qt::AlignLeft | Qt::AlignVCenter, kProgramTitle);
  QFont version = p.font();
  version.setPixelSize(13);
  version.setBold(false);
  p.setFont(version);
  p.setPen(QColor(0xd6, 0xea, 0xf8));
  p.drawText(text_area.translated(2, 36), Qt::AlignLeft | Qt::AlignTop, VersionText());
  p.restore();
}

}  // namespace

LoginDialog::LoginDialog(QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::LoginDialog>()),
      close_action_(new QAction("关闭", this)),
      about_action_(new QAction("关于 Tillwise(&A)...", this)),
      countdown_(new QTimer(this)) {
  ui_->setupUi(this);
  setWindowTitle(QString("Tillwise (%1)").arg(VersionText()));
  setWindowIcon(ProgramIcon());
  close_action_->setObjectName("closeAction");
  about_action_->setObjectName("aboutAction");

  ui_->accountEdit->installEventFilter(this);
  ui_->passwordEdit->installEventFilter(this);
  connect(ui_->loginButton, &QPushButton::clicked, this, &LoginDialog::OnLogin);
  connect(ui_->restoreButton, &QPushButton::clicked, this, &LoginDialog::OnRestore);
  connect(ui_->resetButton, &QPushButton::clicked, this, &LoginDialog::OnResetPassword);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &LoginDialog::reject);
  connect(close_action_, &QAction::triggered, this, &LoginDialog::reject);
  connect(about_action_, &QAction::triggered, this, &LoginDialog::ShowAbout);
  countdown_->setInterval(1000);
  connect(countdown_, &QTimer::timeout, this, &LoginDialog::OnCountdownTick);

  ui_->accountEdit->setFocus();
}

LoginDialog::~LoginDialog() = default;

bool LoginDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (watched == ui_->accountEdit) {
        ui_->passwordEdit->setFocus();
        return true;
      }
      if (watched == ui_->passwordEdit) {
        ui_->loginButton->setFocus();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void LoginDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter p(this);
  DrawBanner(p, ui_->bannerArea->geometry());
}

void LoginDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.setObjectName("systemMenu");
  menu.addAction(close_action_);
  menu.addSeparator();
  menu.addAction(about_action_);
  menu.exec(event->globalPos());
}

void LoginDialog::OnLogin() {
  QString account = ui_->accountEdit->text();
  switch (app::Login(account.toStdString(), ui_->passwordEdit->text().toStdString())) {
    case app::LoginResult::kNoDatabase:
      return;
    case app::LoginResult::kDamaged:
      ui::ShowMessage(this, app::kDamagedDatabaseText);
      return;
    case app::LoginResult::kReadOnly:
      ui::ShowMessage(this, app::kReadOnlyDatabaseText);
      return;
    case app::LoginResult::kRefused:
    case app::LoginResult::kThrottled:
      ui::ShowMessage(this, "登陆失败");
      ui_->accountEdit->clear();
      ui_->passwordEdit->clear();
      ui_->accountEdit->setFocus();
      StartCountdown(account);
      return;
    case app::LoginResult::kAccepted:
      break;
  }
  MainMenuWindow menu(account, this);
  menu.exec();
  done(0);
}

void LoginDialog::StartCountdown(const QString& account) {
  waiting_account_ = account;
  OnCountdownTick();
}

void LoginDialog::OnCountdownTick() {
  const int seconds = app::LoginWaitSeconds(waiting_account_.toStdString());
  if (seconds <= 0) {
    countdown_->stop();
    ui_->waitLabel->clear();
    ui_->loginButton->setEnabled(true);
    return;
  }
  ui_->waitLabel->setText(
      QString("账号 %1 密码错误次数过多, 请 %2 秒后再试").arg(waiting_account_).arg(seconds));
  ui_->loginButton->setEnabled(false);
  if (!countdown_->isActive()) countdown_->start();
}

void LoginDialog::OnRestore() { RestoreDatabase(this); }

void LoginDialog::OnResetPassword() {
  if (!Authorize(this)) return;
  try {
    app::ResetAccountZero();
  } catch (const store::DbError&) {
    return;
  }
  ui::ShowMessage(this, "完成");
}

void LoginDialog::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

}  // namespace ui
