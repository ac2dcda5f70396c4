#include "ui/devices/ServerTransferDialog.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <optional>

#include "core/common/error.h"
#include "core/serversync/background_sender.h"
#include "core/serversync/pg.h"
#include "core/serversync/sender.h"
#include "core/store/database.h"
#include "core/store/outbox.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/ServerCall.h"
#include "ui_ServerTransferDialog.h"

namespace ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ServerTransferDialog::ServerTransferDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ServerTransferDialog>()) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  connect(ui_->testButton, &QPushButton::clicked, this, &ServerTransferDialog::OnTest);
  connect(ui_->joinButton, &QPushButton::clicked, this, &ServerTransferDialog::OnJoin);
  connect(ui_->sendButton, &QPushButton::clicked, this, &ServerTransferDialog::OnSend);
  connect(ui_->closeButton, &QPushButton::clicked, this, &ServerTransferDialog::accept);
  RunGuarded(this, [this] { ShowLink(); });
}

ServerTransferDialog::~ServerTransferDialog() = default;

void ServerTransferDialog::ShowLink() {
  store::Database db;
  std::optional<store::ServerLink> link = store::ReadServerLink(db);
  const serversync::SyncStatus status = serversync::ReadSyncStatus(db);
  if (link) {
    stored_address_ = link->conninfo;
    masked_address_ = Text(serversync::MaskPassword(link->conninfo));
    ui_->addressEdit->setText(masked_address_);
    ui_->shopEdit->setText(Text(link->shop));
    ui_->tillEdit->setText(Text(link->till));
  }
  ui_->stateLabel->setText(status.joined ? Text(serversync::StatusText(status)) : "未加入");
  ui_->lastSentLabel->setText(status.last_sent.empty() ? "-" : Text(status.last_sent));
  ui_->queueLabel->setText(QString::number(status.pending));
  ui_->alarmLabel->setText(QString::number(status.alarms));
  ui_->errorLabel->setText(Text(status.last_error));
  ui_->sendButton->setEnabled(status.joined);
}

std::string ServerTransferDialog::Address() const {
  const QString typed = ui_->addressEdit->text().trimmed();
  if (!stored_address_.empty() && typed == masked_address_) return stored_address_;
  return typed.toStdString();
}

void ServerTransferDialog::OnTest() {
  RunGuarded(this, [this] {
    if (Address().empty()) throw common::UserError("请输入总部服务器地址");
    WithServer([this] { serversync::TestConnection(Address()); });
    ShowMessage(this, "连接成功");
  });
}

void ServerTransferDialog::OnJoin() {
  RunGuarded(this, [this] {
    if (Address().empty()) throw common::UserError("请输入总部服务器地址");
    const std::string shop = ui_->shopEdit->text().trimmed().toStdString();
    const std::string till = ui_->tillEdit->text().trimmed().toStdString();
    WithServer([&] {
      store::Database db;
      serversync::JoinServer(db, Address(), shop, till);
    });
    ShowLink();
    if (auto* sender = serversync::BackgroundSender::Running()) sender->Wake();
    ShowMessage(this, "已加入总部服务器");
  });
}

void ServerTransferDialog::OnSend() {
  RunGuarded(this, [this] {
    std::size_t sent = 0;
    try {
      WithServer([&] {
        store::Database db;
        sent = serversync::SendPending(db);
      });
    } catch (...) {
      ShowLink();
      throw;
    }
    ShowLink();
    ShowMessage(this, "已发送 " + QString::number(sent) + " 笔");
  });
}

}  // namespace ui
