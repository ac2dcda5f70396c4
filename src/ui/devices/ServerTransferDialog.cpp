#include "ui/devices/ServerTransferDialog.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <optional>

#include "core/common/error.h"
#include "core/serversync/background_sender.h"
#include "core/serversync/pg.h"
#include "core/serversync/sender.h"
#include "core/serversync/shared_data.h"
#include "core/store/database.h"
#include "core/store/outbox.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/ServerCall.h"
#include "ui_ServerTransferDialog.h"

namespace ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A joined shop's goods, members, accounts and shared settings are the server's.
constexpr const char* kJoinQuestion =
    "加入后, 本机的商品、会员、账号和全店设置以总部为准 (总部尚无资料时以本机为准)。是否加入?";

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
  const std::string pulled = status.joined ? serversync::LastPulled(db) : "";
  ui_->lastPulledLabel->setText(pulled.empty() ? "-" : Text(pulled));
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
    if (!AskYesNo(this, kJoinQuestion)) return;
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
    std::size_t sent = 0, pulled = 0;
    try {
      WithServer([&] {
        store::Database db;
        sent = serversync::SendPending(db);
        pulled = serversync::PullChanges(db);
      });
    } catch (...) {
      ShowLink();
      throw;
    }
    ShowLink();
    ShowMessage(
        this, "已发送 " + QString::number(sent) + " 笔, 已更新 " + QString::number(pulled) + " 项");
  });
}

}  // namespace ui
