#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "core/app/update_check.h"

namespace Ui {
class UpdateDialog;
}

namespace ui {

// "软件升级": the installed version, whether the package archive offers another one, and the
// upgrade through apt after an automatic backup.
class UpdateDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(UpdateDialog)

 public:
  // What `apt-cache policy tillwise` printed; empty when it could not run.
  using PolicySource = std::function<QString()>;
  // Installs the archive's version; empty when it went through, else why not.
  using Installer = std::function<QString()>;

  // Without seams the dialog asks apt-cache and upgrades through pkexec and apt-get.
  explicit UpdateDialog(QWidget* parent = nullptr, PolicySource policy = {},
                        Installer installer = {});
  ~UpdateDialog() override;

  void reject() override;

 private:
  void Check();
  void OnUpgrade();

  std::unique_ptr<Ui::UpdateDialog> ui_;
  PolicySource policy_;
  Installer installer_;
  app::UpdateCheck check_;
  bool installing_ = false;
};

}  // namespace ui
