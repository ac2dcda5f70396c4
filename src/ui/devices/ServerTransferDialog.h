#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <string>

class QWidget;

namespace Ui {
class ServerTransferDialog;
}

namespace ui {

// "数据传输到服务器": the till's link to the shop server. The address (a PostgreSQL connection
// string), the shop and the till name; "测试连接" tries the address, "加入" joins the till to
// the server, "立即发送" sends what waits. Shows when the last batch went and how many records
// wait. A stored password is shown masked: the address field keeps the stored string until
// something else is typed into it.
class ServerTransferDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ServerTransferDialog)

 public:
  explicit ServerTransferDialog(QWidget* parent);
  ~ServerTransferDialog() override;

 private:
  void ShowLink();
  // The address typed, or the stored one while the masked text stands unchanged.
  std::string Address() const;
  void OnTest();
  void OnJoin();
  void OnSend();

  std::unique_ptr<Ui::ServerTransferDialog> ui_;
  std::string stored_address_;
  QString masked_address_;
};

}  // namespace ui
